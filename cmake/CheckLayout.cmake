# Configure fails when a source folder includes a folder that comes after it
# in QMX_SOURCE_DIRS, or when the editor includes the player. The list is in
# layer order (each folder may use those before it), so the folders can never
# include each other in a circle and a core folder can never reach a widget
# folder. Every include is written from the top of the tree.
function(qmx_check_layout)
  set(problems "")
  list(LENGTH QMX_SOURCE_DIRS count)
  foreach(dir IN LISTS QMX_SOURCE_DIRS)
    list(FIND QMX_SOURCE_DIRS ${dir} rank)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    foreach(source IN LISTS sources)
      file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+/[^\"/]+\"")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]+)/[^\"/]+\".*$" "\\1" target "${line}")
        list(FIND QMX_SOURCE_DIRS ${target} target_rank)
        if(target_rank EQUAL -1)
          continue()
        endif()
        if(target_rank GREATER rank OR (dir STREQUAL "editor" AND target STREQUAL "player"))
          file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${source})
          string(APPEND problems "\n  ${relative} includes ${target}/")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(problems)
    message(FATAL_ERROR
      "These includes go against the layers (a folder uses only the folders before it in "
      "QMX_SOURCE_DIRS of the root CMakeLists.txt; the editor never uses the player):"
      "${problems}\n"
      "Move the shared file down to the layer both use.")
  endif()
endfunction()
