#!/usr/bin/env bash
# Draws the contact sheets with the real drawing code under Wine, on a
# private display in a throwaway prefix:
#   - every push-button painter in every state at 96 and 144 DPI
#     (tools/painter-sheet.cpp) -> docs/painters.png
#   - whole buttons, every kind in every look-and-feel and state at 96 and
#     144 DPI, drawn by real TcxButton controls (tools/button-sheet.cpp)
#     -> docs/buttons.png
#   scripts/contact-sheet.sh [PAINTERS.png [BUTTONS.png]]
# TELVORA_BUILD_DIR chooses the build folder (default build/mingw, or build/mingw64 for x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
painters=${1:-docs/painters.png}
buttons=${2:-docs/buttons.png}

telvora_build painter-sheet button-sheet
work=$(mktemp -d /tmp/telvora-sheet.XXXXXX)
trap 'telvora_temp_wine_down; rm -rf "$work"' EXIT
telvora_temp_wine_up

telvora_wine "$build/bin/painter-sheet.exe" "$(telvora_wine_tool winepath -w "$work/painters.bmp")"
mkdir -p "$(dirname "$painters")"
convert "$work/painters.bmp" "$painters"
echo "wrote $painters"

telvora_wine "$build/bin/button-sheet.exe" "$(telvora_wine_tool winepath -w "$work/buttons.bmp")"
mkdir -p "$(dirname "$buttons")"
convert "$work/buttons.bmp" "$buttons"
echo "wrote $buttons"
