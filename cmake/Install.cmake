# Installing QMX: `cmake --install build` (prefix /usr/local unless given) and
# the Debian package that `make package` builds with CPack (prefix /usr).
#
#   bin/                       qmx4, qmx4edit, qmxtool
#   share/qmx4/                the demo module and its saved games; an installed
#                              program copies them into the per-user folder
#                              (~/.local/share/qmx4/) on its first start
#   share/doc/qmx/             the user guide, the README, the copyright file
#                              and the changelog (made from NEWS)
#   share/man/man1/            the manual pages of the three programs
#   share/applications/        the desktop entries of both programs
#   share/metainfo/            the software centre's entry (AppStream)
#   share/mime/packages/       the file types: module, saved game, text save
#   share/icons/hicolor/       the icons, SVG and PNG
#   share/bash-completion/     the completion of qmxtool's commands and files
include(GNUInstallDirs)

# Who makes the package: the Maintainer field and the changelog's signature.
set(QMX_MAINTAINER "QMX developers <qmx-devel@users.noreply.github.com>")
set(QMX_HOMEPAGE "https://github.com/qmx/qmx4")

install(TARGETS qmx4 qmx4edit qmxtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QMX_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/qmx4)
install(FILES ${CMAKE_BINARY_DIR}/modules/Demo.qm4 ${CMAKE_BINARY_DIR}/modules/Demo.PNG
        DESTINATION ${QMX_DATA_DESTINATION}/modules)
install(FILES ${CMAKE_BINARY_DIR}/Savedgames/Demo-setup.qms
              ${CMAKE_BINARY_DIR}/Savedgames/Demo-turn1.qms
        DESTINATION ${QMX_DATA_DESTINATION}/Savedgames)

install(FILES docs/user-guide.md docs/game-controls.png docs/editor-define-units.png
              docs/unit-painter.png docs/after-action-report.png docs/map-geometry.png README.md
              docs/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qmx)

# The changelog is NEWS in the form Debian reads: each "VERSION (YYYY-MM-DD)"
# of NEWS starts an entry, its "  * " items follow, and the maintainer signs
# it. Written when the build is configured (NEWS changing configures again);
# it and the manual pages are compressed as Debian wants them (gzip -9n: the
# same bytes on every build).
set(QMX_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/NEWS)
file(READ ${CMAKE_SOURCE_DIR}/NEWS qmx_news)
set(qmx_release_line "\n([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)\n")
string(REGEX MATCHALL "${qmx_release_line}" qmx_releases "${qmx_news}")
if(NOT qmx_releases)
  message(FATAL_ERROR "NEWS has no release line \"VERSION (YYYY-MM-DD)\"")
endif()
set(qmx_changelog "")
foreach(release ${qmx_releases})
  string(REGEX MATCH "${qmx_release_line}" release "${release}")
  set(version ${CMAKE_MATCH_1})
  set(day ${CMAKE_MATCH_2})
  if(qmx_changelog STREQUAL "" AND NOT version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "NEWS begins with ${version}, the project is ${PROJECT_VERSION}")
  endif()
  # The items: from this release line to the next one, or to the end.
  string(FIND "${qmx_news}" "${release}" at)
  string(LENGTH "${release}" length)
  math(EXPR at "${at} + ${length}")
  string(SUBSTRING "${qmx_news}" ${at} -1 items)
  string(REGEX MATCH "${qmx_release_line}" later "${items}")
  if(later)
    string(FIND "${items}" "${later}" next)
    string(SUBSTRING "${items}" 0 ${next} items)
  endif()
  string(STRIP "${items}" items)
  execute_process(COMMAND date -u -R -d "${day} 12:00" OUTPUT_VARIABLE when
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(APPEND qmx_changelog "qmx (${version}) unstable; urgency=medium\n\n  ${items}\n\n"
                              " -- ${QMX_MAINTAINER}  ${when}\n\n")
endforeach()
string(STRIP "${qmx_changelog}" qmx_changelog)
# Written only when it changes, so that the compressed copy is not made anew.
file(WRITE ${QMX_PACKAGE_DIR}/changelog.new "${qmx_changelog}\n")
configure_file(${QMX_PACKAGE_DIR}/changelog.new ${QMX_PACKAGE_DIR}/changelog COPYONLY)

set(qmx_compressed ${QMX_PACKAGE_DIR}/changelog.gz)
add_custom_command(OUTPUT ${QMX_PACKAGE_DIR}/changelog.gz
  COMMAND gzip -9n -c ${QMX_PACKAGE_DIR}/changelog > ${QMX_PACKAGE_DIR}/changelog.gz
  DEPENDS ${QMX_PACKAGE_DIR}/changelog)
foreach(page qmx4 qmx4edit qmxtool)
  add_custom_command(OUTPUT ${QMX_PACKAGE_DIR}/${page}.1.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/docs/man/${page}.1 > ${QMX_PACKAGE_DIR}/${page}.1.gz
    DEPENDS docs/man/${page}.1)
  list(APPEND qmx_compressed ${QMX_PACKAGE_DIR}/${page}.1.gz)
  install(FILES ${QMX_PACKAGE_DIR}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${qmx_compressed})
install(FILES ${QMX_PACKAGE_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qmx)

install(FILES desktop/qmx4.desktop desktop/qmx4edit.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/io.github.qmx.qmx4.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES desktop/qmx.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES desktop/qmxtool.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME qmxtool)
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
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QMX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QMX_HOMEPAGE}")
# Not "games": Debian puts the programs of that section in /usr/games, and an
# installed program finds its demo in share/qmx4/ beside its bin/ folder.
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
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

# The package is built and looked at with dpkg-deb and lintian as part of the
# tests; the manual pages are checked against the programs' own help.
if(NOT QMX_SANITIZE)
  add_test(NAME package_contents
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package ${CMAKE_BINARY_DIR})
  set_tests_properties(package_contents PROPERTIES TIMEOUT 600)
  add_test(NAME manpages COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-manpages ${CMAKE_BINARY_DIR})
endif()
