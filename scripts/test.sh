#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in a throwaway prefix on
# a private Xvfb display with one wineserver for the whole run.
#   scripts/test.sh [ctest arguments...]
# TELVORA_BUILD_DIR chooses the build folder (default build/mingw).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh
build=${TELVORA_BUILD_DIR:-build/mingw}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
fi
cmake --build "$build"

. scripts/wine-env.sh
prefix=$(mktemp -d /tmp/telvora-test-prefix.XXXXXX)
rmdir "$prefix"
cleanup() {
  telvora_wine_down
  rm -rf "$prefix"
}
trap cleanup EXIT
TELVORA_HEADLESS=1 telvora_wine_up "$prefix"
echo "Wine prefix $WINEPREFIX on display $DISPLAY"

ctest --test-dir "$build" --output-on-failure "$@"
