# GoogleTest built as part of this project from Debian's googletest sources,
# for builds that cannot use the build machine's libraries (a cross build):
# GTest::gtest and GTest::gtest_main, built only when a test links them.
set(VEXO_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${VEXO_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${VEXO_GOOGLETEST_SOURCE_DIR}: "
                      "install Debian's googletest or set VEXO_GOOGLETEST_SOURCE_DIR")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "GoogleMock is not used")
set(INSTALL_GTEST OFF CACHE BOOL "GoogleTest is not installed with the decoder")
add_subdirectory(${VEXO_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
