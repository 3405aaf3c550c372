# Cross-compile the program for 32-bit Windows with Debian's MinGW-w64 (i686).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MARLOW_WIDTH 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
