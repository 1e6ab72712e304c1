# Configure fails when a *Test.cpp file under tests/ is a source of no target,
# so that no test file can sit in the tree without being built and run. The
# glob is re-checked at every build: a new file makes the build configure again.

# Appends the absolute paths of the sources of every target defined in dir
# and its subfolders to the list named out.
function(qmx_collect_target_sources dir out)
  set(found ${${out}})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY" OR type STREQUAL "UTILITY")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(target_dir ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${target_dir} NORMALIZE)
      list(APPEND found ${source})
    endforeach()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    qmx_collect_target_sources(${subdir} found)
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(qmx_check_test_files tests_dir)
  file(GLOB_RECURSE test_files CONFIGURE_DEPENDS ${tests_dir}/*Test.cpp)
  set(listed "")
  qmx_collect_target_sources(${tests_dir} listed)
  set(unlisted "")
  foreach(file IN LISTS test_files)
    if(NOT file IN_LIST listed)
      file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${file})
      string(APPEND unlisted "\n  ${relative}")
    endif()
  endforeach()
  if(unlisted)
    message(FATAL_ERROR
      "These test files belong to no test program, so they would never be built or run:"
      "${unlisted}\n"
      "Add each to the test program of its folder (qmx_core_test or qmx_widget_test in "
      "its CMakeLists.txt), and a new folder to QMX_TEST_DIRS in tests/CMakeLists.txt.")
  endif()
endfunction()
