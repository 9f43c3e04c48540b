# Cross-compiles 64-bit Windows binaries with mingw-w64 (posix threads
# flavour). TELVORA itself is a 32-bit program; this build serves machines
# whose kernel cannot run 32-bit code, where 32-bit Wine cannot start.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TELVORA_MINGW_PREFIX x86_64-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${TELVORA_MINGW_PREFIX}-gcc-posix ${TELVORA_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TELVORA_MINGW_PREFIX}-g++-posix ${TELVORA_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TELVORA_MINGW_PREFIX}-windres windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TELVORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and tools run under 64-bit Wine on the build machine (Debian keeps
# its loader outside the PATH).
find_program(TELVORA_WINE NAMES wine64 PATHS /usr/lib/wine /usr/lib/wine64 /opt/wine-stable/bin)
if(TELVORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TELVORA_WINE})
endif()
