# Installation keeps the executable and its media together in one program
# folder, <prefix>/lib/ravlin, and puts a small launcher on PATH; the desktop
# finds the program through its entry, icons and AppStream metainfo under
# <prefix>/share. The folder is "lib" on every system rather than the
# multiarch library folder: it holds a program, not shared libraries.
include(GNUInstallDirs)
set(RAVLIN_INSTALL_DIR lib/ravlin)

# Installing and packaging build nothing themselves: the default target
# would take every test, benchmark and sanitizer tree along, while only the
# program (whose target brings its media, icons and documents) is installed.
# Build it first (`cmake --build build --target ravlin`); an installation
# from a tree where it is missing stops instead of producing a program
# without its parts.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(RAVLIN_INSTALL_INPUTS ${RAVLIN_APP_DIR}/ravlin ${CMAKE_BINARY_DIR}/desktop/ravlin.1.gz
    ${CMAKE_BINARY_DIR}/desktop/changelog.Debian.gz
    ${RAVLIN_ICON_THEME_DIR}/scalable/apps/${RAVLIN_APP_ID}.svg)
install(CODE "
  foreach(input ${RAVLIN_INSTALL_INPUTS})
    if(NOT EXISTS \${input})
      message(FATAL_ERROR \"\${input} is missing: build the ravlin target before installing\")
    endif()
  endforeach()")
# The executable goes in as a target, so that `cmake --install --strip` and
# the package strip it; the media beside it are copied as they are.
install(TARGETS ravlin RUNTIME DESTINATION ${RAVLIN_INSTALL_DIR})
install(DIRECTORY ${RAVLIN_APP_DIR}/ DESTINATION ${RAVLIN_INSTALL_DIR} USE_SOURCE_PERMISSIONS
        PATTERN ravlin EXCLUDE)
file(RELATIVE_PATH RAVLIN_LAUNCHER_TARGET /${CMAKE_INSTALL_BINDIR} /${RAVLIN_INSTALL_DIR}/ravlin)
configure_file(${CMAKE_SOURCE_DIR}/cmake/ravlin-launcher.in ${CMAKE_BINARY_DIR}/ravlin-launcher @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/ravlin-launcher DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ravlin)

# Desktop integration. The release in the metainfo is the project's version.
set(RAVLIN_DESKTOP_FILE ${CMAKE_SOURCE_DIR}/desktop/${RAVLIN_APP_ID}.desktop)
set(RAVLIN_METAINFO_FILE ${CMAKE_BINARY_DIR}/desktop/${RAVLIN_APP_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/desktop/${RAVLIN_APP_ID}.metainfo.xml.in ${RAVLIN_METAINFO_FILE}
               @ONLY)
install(FILES ${RAVLIN_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RAVLIN_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${RAVLIN_ICON_THEME_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The manual page and the Debian change log are installed compressed, as
# Debian expects; gzip -n keeps the result the same from build to build.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed_docs)
foreach(doc ravlin.1 changelog.Debian)
  set(out ${CMAKE_BINARY_DIR}/desktop/${doc}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_SOURCE_DIR}/desktop/${doc} > ${out}
    DEPENDS ${CMAKE_SOURCE_DIR}/desktop/${doc}
    COMMENT "Compressing ${doc}")
  list(APPEND compressed_docs ${out})
endforeach()
add_custom_target(ravlin_docs ALL DEPENDS ${compressed_docs})
add_dependencies(ravlin ravlin_docs)
install(FILES ${CMAKE_BINARY_DIR}/desktop/ravlin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The package is not meant for the Debian archive, so its first change log
# entry closes no "intent to package" bug; lintian is told so.
install(FILES ${CMAKE_SOURCE_DIR}/desktop/ravlin.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME ravlin)
install(FILES ${CMAKE_SOURCE_DIR}/desktop/copyright ${CMAKE_BINARY_DIR}/desktop/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/ravlin)
