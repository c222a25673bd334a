# The Debian package: `cpack -G DEB` in the build folder (scripts/package).
# Everything `cmake --install` lays out, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovaline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tovaline developers <tovaline@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small sound recorder for WAV, MP3, WMA and Ogg Vorbis")
set(CPACK_PACKAGE_DESCRIPTION
    "Tovaline records a sound input of the sound server (monitors included) to\n"
    "WAV, MP3, WMA or Ogg Vorbis with one button, keeps a list of recordings\n"
    "with playback, and starts, pauses and stops through system-wide hotkeys.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# Shared libraries found by dpkg-shlibdeps; the encoders are started by path,
# and Qt finds its platform plugins (the window on X11) only at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "lame, vorbis-tools, qt6-qpa-plugins")
include(CPack)
