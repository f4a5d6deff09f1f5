# A Debian package of the installed layout, built with `cpack` in the build
# tree (ravlin_<version>-1_<arch>.deb). Library dependencies are read off the
# linked libraries by dpkg-shlibdeps; what is loaded at run time rather than
# linked is named here: the Korean fonts every window uses, Qt's SQLite
# driver the practice history is kept with (the Qt plugins
# for X11, GLX and the picture formats come with libqt6gui6). The program
# composes Hangul itself, so a desktop input method is only suggested (Qt 6
# talks to ibus out of the box; fcitx 5 needs its Qt 6 front end).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravlin)
set(CPACK_PACKAGE_VENDOR Ravlin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing tutor for Korean, English and Japanese keyboards")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ravlin <packages@ravlin.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.ravlin.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, fonts-nanum-coding, libqt6sql6-sqlite")
# The icon theme's index lets toolkits find the icons by name; Qt's Wayland
# platform lets the program run natively on a Wayland desktop (without it Qt
# uses XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ibus-hangul | fcitx5-hangul, fcitx5-frontend-qt6")
# The extended description; CPack indents it and marks the empty line as a
# paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ravlin (타비로) drills the characters of nine keyboard layouts (English,
Hangul Dubeolsik and Sebeolsik, kana) on a three-dimensional keyboard,
runs sentence practice with live error marks and a speed gauge, and has
two typing games, Clockwig and Orbalon. Speed is counted in keystrokes per
minute, a Hangul syllable costing the keystrokes that composed it.

Korean is typed with the desktop's input method or with the built-in
Hangul composer.")
include(CPack)
