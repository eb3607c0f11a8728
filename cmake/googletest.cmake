# GoogleTest for the tests: an installed one that find_package(GTest) sees
# (a distribution's package, vcpkg's, or one under CMAKE_PREFIX_PATH), else
# one built here from the source folder FOXBANE_GOOGLETEST_SOURCE.

# Debian's googletest package puts the sources here; a cross build for
# Windows cannot use the installed Linux libraries, so it builds these.
set(default_source "")
if(CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux" AND EXISTS "/usr/src/googletest/CMakeLists.txt")
  set(default_source "/usr/src/googletest")
endif()
set(FOXBANE_GOOGLETEST_SOURCE "${default_source}" CACHE PATH
    "GoogleTest's source folder, built with the tests when find_package(GTest) finds none")

find_package(GTest QUIET)
if(NOT GTest_FOUND)
  if(NOT EXISTS "${FOXBANE_GOOGLETEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR
      "The tests need GoogleTest, and there is none: find_package(GTest) found no installed "
      "one and FOXBANE_GOOGLETEST_SOURCE (\"${FOXBANE_GOOGLETEST_SOURCE}\") is no GoogleTest "
      "source folder. Install it (for Visual Studio, vcpkg's gtest:x64-windows-static or "
      "gtest:x86-windows-static, with the vcpkg toolchain file), or give its sources with "
      "-DFOXBANE_GOOGLETEST_SOURCE=<folder>, or build the programs alone with -DBUILD_TESTING=OFF.")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # The tests link the C++ runtime as the programs do (see CMakeLists.txt).
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  add_subdirectory("${FOXBANE_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
endif()
