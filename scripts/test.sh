#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in a throwaway prefix on
# a private Xvfb display with one wineserver for the whole run.
#   scripts/test.sh [ctest arguments...]
# TELVORA_BUILD_DIR chooses the build folder (default build/mingw, or build/mingw64 for x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh

telvora_build
trap telvora_temp_wine_down EXIT
telvora_temp_wine_up
echo "Wine prefix $WINEPREFIX on display $DISPLAY"

ctest --test-dir "$build" --output-on-failure "$@"
