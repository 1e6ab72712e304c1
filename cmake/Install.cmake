# Installing QMX: `cmake --install build` (prefix /usr/local unless given) and
# the Debian package that `make package` builds with CPack (prefix /usr).
#
#   bin/                       qmx4, qmx4edit, qmxtool
#   share/qmx4/                the demo module and its saved games; an installed
#                              program copies them into the per-user folder
#                              (~/.local/share/qmx4/) on its first start
#   share/doc/qmx/             the user guide and the README
#   share/applications/        the desktop entries of both programs
#   share/mime/packages/       the file types: module, saved game, text save
#   share/icons/hicolor/       the icons, SVG and PNG
include(GNUInstallDirs)

install(TARGETS qmx4 qmx4edit qmxtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QMX_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/qmx4)
install(FILES ${CMAKE_BINARY_DIR}/modules/Demo.qm4 ${CMAKE_BINARY_DIR}/modules/Demo.PNG
        DESTINATION ${QMX_DATA_DESTINATION}/modules)
install(FILES ${CMAKE_BINARY_DIR}/Savedgames/Demo-setup.qms
              ${CMAKE_BINARY_DIR}/Savedgames/Demo-turn1.qms
        DESTINATION ${QMX_DATA_DESTINATION}/Savedgames)

install(FILES docs/user-guide.md docs/game-controls.png docs/editor-define-units.png
              docs/unit-painter.png README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qmx)

install(FILES desktop/qmx4.desktop desktop/qmx4edit.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/qmx.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
foreach(icon qmx4 qmx4edit)
  install(FILES desktop/icons/${icon}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    install(FILES desktop/icons/${icon}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${icon}.png)
  endforeach()
endforeach()

# A plain `cmake --install` (no staging folder) brings the desktop's caches up
# to date itself; the Debian package leaves that to the triggers of
# shared-mime-info, desktop-file-utils and the icon theme.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${CMAKE_INSTALL_PREFIX}/share")
    find_program(QMX_UPDATE_MIME update-mime-database)
    find_program(QMX_UPDATE_DESKTOP update-desktop-database)
    find_program(QMX_UPDATE_ICONS gtk-update-icon-cache)
    if(QMX_UPDATE_MIME)
      execute_process(COMMAND ${QMX_UPDATE_MIME} "${share}/mime")
    endif()
    if(QMX_UPDATE_DESKTOP)
      execute_process(COMMAND ${QMX_UPDATE_DESKTOP} "${share}/applications")
    endif()
    if(QMX_UPDATE_ICONS)
      execute_process(COMMAND ${QMX_UPDATE_ICONS} -q -t "${share}/icons/hicolor")
    endif()
  endif()
]])

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qmx)
set(CPACK_PACKAGE_VENDOR "QMX")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "board wargames by e-mail: player, module editor, tool")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "QMX developers <qmx@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt libraries come from the shared-library dependencies; the platform
# plugin that opens windows on X11 or Wayland is a plugin, so it is named here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-image-formats-plugins, xdg-utils, shared-mime-info, desktop-file-utils, hicolor-icon-theme")
# The long description: CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "QMX plays board wargames by e-mail. A game module holds a hex map, the unit
counters with their steps and values, and card decks. Players carry stacks
from hex to hex, fight combats, roll dice, play cards and write comments;
every action goes into a replay record, and the opponent watches the move
replayed hex by hex. Games travel as files or as text pasted into a mail.

The package holds the player qmx4, the module editor qmx4edit, the
command-line tool qmxtool and a demo game. Saved games (.qms, and text saves)
open in the player from the file manager; modules (.qm4) open in the editor.")
include(CPack)

# The package is built and looked at with dpkg-deb as part of the tests.
if(NOT QMX_SANITIZE)
  add_test(NAME package_contents
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package ${CMAKE_BINARY_DIR})
  set_tests_properties(package_contents PROPERTIES TIMEOUT 600)
endif()
