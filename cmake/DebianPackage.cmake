# `cpack -G DEB` in the build folder makes one Debian package of everything
# `cmake --install` puts in place, installed under /usr. Its dependencies come
# from dpkg-shlibdeps, which reads them off the programs and the plugin.
# Configure a package build with -DCMAKE_INSTALL_PREFIX=/usr (so that the
# library goes to Debian's multiarch folder) -DBUILD_TESTING=OFF
# -DVEXO_BUILD_BENCHMARKS=OFF.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexo-toolkit)
set(CPACK_PACKAGE_VENDOR "VEXO toolkit developers")
set(CPACK_PACKAGE_CONTACT "VEXO toolkit developers <vexo-toolkit@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "VEXO picture decoder, encoder, viewer and tools")
set(CPACK_PACKAGE_DESCRIPTION
    "Decodes, encodes and shows VEXO compressed still pictures: the vexo command\n"
    "line, the byteloom resource converter, a thumbnailer, a Qt image plugin, the\n"
    "MIME type, and the decoder library with its headers, CMake package and\n"
    "pkg-config file.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The MIME database, menus and icon caches are refreshed by dpkg triggers;
# shared-mime-info brings the database the MIME type goes into.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info")
include(CPack)
