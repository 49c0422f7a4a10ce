# The Debian package: `cpack -G DEB` in the build folder writes brisvane_<version>_<arch>.deb with
# everything `cmake --install` installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brisvane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "speakerphone and dialer for a voice modem")
set(CPACK_PACKAGE_DESCRIPTION
    "Brisvane shows an on-screen telephone that works a voice modem on a serial\n"
    "port: it dials from a keypad, a phone book or tel: links, shows the caller's\n"
    "name and number, and holds, mutes and sends touch tones during a call. The\n"
    "modem carries the conversation in its speakerphone mode. A virtual modem,\n"
    "brisvane-modem, is included for trying the telephone without one.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(BRISVANE_MAINTAINER "Brisvane developers" CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${BRISVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Qt libraries and their versions come from what the programs link (dpkg-shlibdeps). The icon
# is drawn by Qt Svg's icon engine and the call history is read through Qt SQL's SQLite driver:
# plugins that nothing links, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6 (>= 6.4), libqt6sql6-sqlite (>= 6.4)")
# The window's faces (platform/Fonts.cpp); without them it falls back to plainer ones. Qt's Wayland
# plugin makes the telephone a native Wayland client; without it, a Wayland session runs it under
# XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-comic-neue, fonts-urw-base35, fonts-dejavu-core, qt6-wayland")
# The debugging information stays in the build folder.
set(CPACK_STRIP_FILES ON)
include(CPack)
