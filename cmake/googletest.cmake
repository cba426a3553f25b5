# GoogleTest: Debian's package on Linux. For Windows it is built from Debian's sources
# (/usr/src/googletest, from libgtest-dev) with the same cross compiler as the tests. Without it
# the target GTest::gtest_main is missing and the GoogleTest suites are left out.
set(QUILLON_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Windows)")
if(WIN32 AND EXISTS ${QUILLON_GTEST_SOURCE_DIR}/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUILLON_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Listing the tests of a Windows executable needs Wine: done when CTest runs, not at build time.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
elseif(NOT WIN32)
  find_package(GTest)
endif()
