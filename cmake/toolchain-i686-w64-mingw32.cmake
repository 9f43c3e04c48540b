# Cross-compiles 32-bit Windows binaries with mingw-w64 (posix threads flavour).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TELVORA_MINGW_PREFIX i686-w64-mingw32)
set(TELVORA_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
