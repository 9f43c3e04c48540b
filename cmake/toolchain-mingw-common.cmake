# What the mingw-w64 toolchain files share: the compilers of the posix
# threads flavour for TELVORA_MINGW_PREFIX, the target root for look-ups and
# the Wine loader (TELVORA_WINE_NAMES, in order) that runs programs on the
# build machine.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER NAMES ${TELVORA_MINGW_PREFIX}-gcc-posix ${TELVORA_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TELVORA_MINGW_PREFIX}-g++-posix ${TELVORA_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TELVORA_MINGW_PREFIX}-windres windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${TELVORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests and tools run under Wine on the build machine (Debian keeps its
# 64-bit loader outside the PATH).
find_program(TELVORA_WINE NAMES ${TELVORA_WINE_NAMES} PATHS /usr/lib/wine /usr/lib/wine64 /opt/wine-stable/bin)
if(TELVORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TELVORA_WINE})
endif()
