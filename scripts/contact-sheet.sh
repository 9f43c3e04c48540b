#!/usr/bin/env bash
# Draws every push-button painter in every state at 96 and 144 DPI with the
# real painting code under Wine, on a private display in a throwaway prefix,
# and writes the picture to docs/painters.png.
#   scripts/contact-sheet.sh [OUTPUT.png]
# TELVORA_BUILD_DIR chooses the build folder (default build/mingw, or build/mingw64 for x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
output=${1:-docs/painters.png}

telvora_build painter-sheet
work=$(mktemp -d /tmp/telvora-sheet.XXXXXX)
trap 'telvora_temp_wine_down; rm -rf "$work"' EXIT
telvora_temp_wine_up

telvora_wine "$build/bin/painter-sheet.exe" "$(telvora_wine winepath -w "$work/painters.bmp")"
mkdir -p "$(dirname "$output")"
convert "$work/painters.bmp" "$output"
echo "wrote $output"
