#!/usr/bin/env bash
# Draws every push-button painter in every state at 96 and 144 DPI with the
# real painting code under Wine, on a private display in a throwaway prefix,
# and writes the picture to docs/painters.png.
#   scripts/contact-sheet.sh [OUTPUT.png]
# TELVORA_BUILD_DIR chooses the build folder (default build/mingw).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
output=${1:-docs/painters.png}

scripts/setup.sh
build=${TELVORA_BUILD_DIR:-build/mingw}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
fi
cmake --build "$build" --target painter-sheet

. scripts/wine-env.sh
prefix=$(mktemp -d /tmp/telvora-sheet-prefix.XXXXXX)
rmdir "$prefix"
work=$(mktemp -d /tmp/telvora-sheet.XXXXXX)
trap 'telvora_wine_down; rm -rf "$prefix" "$work"' EXIT
TELVORA_HEADLESS=1 telvora_wine_up "$prefix"

wine "$build/bin/painter-sheet.exe" "$(winepath -w "$work/painters.bmp")"
mkdir -p "$(dirname "$output")"
convert "$work/painters.bmp" "$output"
echo "wrote $output"
