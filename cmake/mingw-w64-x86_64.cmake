# Cross-compile the x86-64 (PE32+) test build with Debian's MinGW-w64 toolchain.
# It exists for machines that cannot run 32-bit code, where the test bench
# runs everything under 64-bit Wine; the program is the i686 build
# (mingw-w64-i686.cmake). Nothing of this build is installed or packed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MARLOW_WIDTH 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
