# What the MinGW-w64 cross toolchain files share. The including file sets
# FOXBANE_MINGW_TRIPLET (x86_64-w64-mingw32 or i686-w64-mingw32) and
# CMAKE_SYSTEM_PROCESSOR first. Static linking is set in CMakeLists.txt, so
# that a MinGW build on Windows itself gets it too.
set(CMAKE_SYSTEM_NAME Windows)

# The POSIX-threads flavour: std::thread and friends need it.
set(CMAKE_C_COMPILER ${FOXBANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FOXBANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FOXBANE_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FOXBANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages too: the build machine's own (its GoogleTest, say) are not for Windows.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
