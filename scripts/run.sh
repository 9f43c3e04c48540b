#!/usr/bin/env bash
# Builds TELVORA and runs it under Wine. With a display ($DISPLAY) the window
# opens there for you to use. Without one it runs headless under Xvfb: it
# clicks "GUID Oku" and "Kopyala" itself, prints the GUID read and the text
# on the clipboard, and saves a screenshot of the window (docs/telvora.png,
# or the path given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh
build=${TELVORA_BUILD_DIR:-build/mingw}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
fi
cmake --build "$build" --target TELVORA telvora-drive

. scripts/wine-env.sh
prefix=${TELVORA_WINEPREFIX:-$HOME/.cache/telvora/wineprefix}
if [ -n "${DISPLAY:-}" ]; then
  telvora_wine_up "$prefix"
  trap 'wineserver -k 2>/dev/null || true' EXIT
  wine "$build/bin/TELVORA.exe"
  exit 0
fi

shot=${1:-docs/telvora.png}
mkdir -p "$(dirname "$shot")"
trap telvora_wine_down EXIT
telvora_wine_up "$prefix"
bmp=$(mktemp /tmp/telvora-shot.XXXXXX.bmp)
wine "$build/bin/telvora-drive.exe" "$build/bin/TELVORA.exe" "$(winepath -w "$bmp")"
convert "$bmp" "$shot"
rm -f "$bmp"
echo "Screenshot: $shot"
