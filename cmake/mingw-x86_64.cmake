# Cross toolchain: 64-bit x86 Windows, for machines that run no 32-bit code (see
# scripts/wine-target.sh); otherwise as the programs' own.
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
