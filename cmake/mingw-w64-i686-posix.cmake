# Cross build for 32-bit Windows with the POSIX-threads flavour of MinGW-w64.
# Under Wine its programs need the 32-bit Wine (Debian: wine32:i386).
set(FOXBANE_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
