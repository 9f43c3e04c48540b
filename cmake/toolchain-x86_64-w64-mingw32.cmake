# Cross-compiles 64-bit Windows binaries with mingw-w64 (posix threads
# flavour). TELVORA itself is a 32-bit program; this build serves machines
# whose kernel cannot run 32-bit code, where 32-bit Wine cannot start.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TELVORA_MINGW_PREFIX x86_64-w64-mingw32)
set(TELVORA_WINE_NAMES wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
