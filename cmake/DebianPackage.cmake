# The Debian package, from the same install rules as `cmake --install`:
#   cmake -S . -B build-deb -DBRELUNE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-deb -j2 && (cd build-deb && cpack)
# gives build-deb/brelune3_<version>_<arch>.deb. Its dependencies are the
# Debian packages of the libraries the program links, as dpkg-shlibdeps
# finds them, and what the program loads itself at run time, which
# dpkg-shlibdeps cannot see: Qt's platform plugins, and SDL2, opened by the
# first sound device.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brelune3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brelune3 developers")
set(CPACK_PACKAGE_CONTACT "The Brelune3 developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop player for MP3 files, playlists and internet radio")
set(CPACK_PACKAGE_DESCRIPTION
  "Brelune3 plays MPEG audio (Layer 1, 2 and 3) from local files, lists and M3U
playlists, and HTTP or HTTPS streams such as internet radio stations, and can
save a stream while it plays. It shows one small skinned window, remembers
its playlist and settings, runs once per user, and can be driven over the
session bus with brelune3-ctl.
.
Brelune3 is free software under the MIT licence.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The decoder library is the package's own, in its private folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_LIBDIR}/brelune3)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libsdl2-2.0-0 (>= 2.0.12)")
include(CPack)
