# Installing: `cmake --install <build> --prefix P` puts the programs in P/bin and their read-only data in
# P/share/tessivar, where the programs look for it relative to themselves (platform/userfolder), so any
# prefix works; desktop entries, icons, AppStream metainfo and man pages go where desktops and
# distributions look. `cpack` packs the same tree as a .deb for /usr.
set(APP_ID org.tessivar.tessivar)       # AppStream id; names the desktop entry, the metainfo and the icon
set(EDITOR_ID org.tessivar.tles)        # the editor's desktop entry
set(DATA_DIR ${CMAKE_INSTALL_DATADIR}/tessivar)
set(TESSIVAR_PACKAGE_MAINTAINER "The Tessivar developers <maintainers@tessivar.invalid>"
    CACHE STRING "Maintainer field of the .deb and contact of its copyright file")

set(INSTALLED_PROGRAMS tessivar tles)
if(TARGET tlpcheck)
  list(APPEND INSTALLED_PROGRAMS tlpcheck)
endif()
install(TARGETS ${INSTALLED_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The shipped data: assets/ as it is in the source tree, and what the generator wrote into the runtime
# folder. Not the runtime folder's config.ini or packs: whoever played in the build may have changed them.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/ DESTINATION ${DATA_DIR})
install(DIRECTORY ${RUNTIME_DIR}/Textures DESTINATION ${DATA_DIR} FILES_MATCHING PATTERN "*.tga")
install(DIRECTORY ${RUNTIME_DIR}/sounds DESTINATION ${DATA_DIR} FILES_MATCHING PATTERN "*.wav" PATTERN "*.mp3")

# Menu entries, the icon in every size the generator draws (ICON_SIZES in tools/assetgen.h), metainfo.
install(FILES ${CMAKE_SOURCE_DIR}/dist/${APP_ID}.desktop ${CMAKE_SOURCE_DIR}/dist/${EDITOR_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 64 128 256)
  install(FILES ${ICON_DIR}/${size}.png RENAME ${APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${ICON_DIR}/scalable.svg RENAME ${APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(METAINFO_BINARIES "")
foreach(program IN LISTS INSTALLED_PROGRAMS)
  string(APPEND METAINFO_BINARIES "    <binary>${program}</binary>\n")
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/dist/${APP_ID}.metainfo.xml.in ${CMAKE_BINARY_DIR}/dist/${APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/${APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The file type of a level pack, for file managers and "open with".
install(FILES ${CMAKE_SOURCE_DIR}/dist/${APP_ID}.mime.xml RENAME ${APP_ID}.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The licence, as Debian wants it (machine-readable, share/doc/<package>/copyright), made from LICENSE so
# the two never differ: its permission text becomes the Expat licence paragraph, indented, blank lines " .".
file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE license_lines)
set(LICENSE_BODY "")
set(in_body FALSE)
foreach(line IN LISTS license_lines)
  if(line MATCHES "^Permission is hereby granted")
    set(in_body TRUE)
  endif()
  if(in_body)
    if(line STREQUAL "")
      string(APPEND LICENSE_BODY " .\n")
    else()
      string(APPEND LICENSE_BODY " ${line}\n")
    endif()
  endif()
endforeach()
string(REGEX REPLACE "\n$" "" LICENSE_BODY "${LICENSE_BODY}")
configure_file(${CMAKE_SOURCE_DIR}/dist/copyright.in ${CMAKE_BINARY_DIR}/dist/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/dist/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessivar)

# Man pages, compressed as Debian ships them (-n: no time stamp, so a rebuild packs the same bytes).
set(man_pages "")
foreach(program IN LISTS INSTALLED_PROGRAMS)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.6)
  configure_file(${CMAKE_SOURCE_DIR}/dist/man/${program}.6 ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND gzip -9nkf ${page}
    DEPENDS ${page}
    VERBATIM)
  list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The Debian package: its dependencies are the packages of the libraries the programs link
# (dpkg-shlibdeps), so it installs with apt on a plain Debian 12 desktop.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessivar)
set(CPACK_PACKAGE_VENDOR "The Tessivar developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D brick-breaking game with its level editor")
# The body below the summary; CPack indents it and marks the blank line as the control file wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessivar: steer a paddle, keep up to three balls in play and clear
the bricks of every level of a level pack, with capsules, a laser, fall mode,
per-pixel lighting with shadow maps, sound effects and music.

TLES, the level editor, creates and edits the level packs the game plays.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSIVAR_PACKAGE_MAINTAINER}")
include(CPack)
