#!/usr/bin/env bash
# Builds the bench programs and runs them under Wine on a private display.
#   scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${1:-20}

scripts/setup.sh
build=${TELVORA_BUILD_DIR:-build/mingw}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
fi
cmake --build "$build"

. scripts/wine-env.sh
prefix=$(mktemp -d /tmp/telvora-bench-prefix.XXXXXX)
rmdir "$prefix"
trap 'telvora_wine_down; rm -rf "$prefix"' EXIT
TELVORA_HEADLESS=1 telvora_wine_up "$prefix"

bin="$build/bin"
echo "== Start-up: process start to main window shown ($runs runs each)"
wine "$bin/startup-bench.exe" "$runs" "$(winepath -w "$bin/TELVORA.exe")" \
  "$(winepath -w "$bin/minimal-window.exe")"

echo "== Canvas: button paint sequence and caption routes"
wine "$bin/graphics-bench.exe"
