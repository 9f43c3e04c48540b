#!/usr/bin/env bash
# Builds the button gallery (ButtonGallery.exe) and takes its picture from a
# real run: the gallery runs under Wine on a private display in a throwaway
# prefix, tools/gallery-shot points the real mouse at one button (SendInput),
# waits until its hot look has faded in, saves the window and closes the
# gallery with WM_CLOSE (which must end it with exit code 0).
#   scripts/gallery-shot.sh [OUTPUT.png]      (default docs/gallery.png)
# TELVORA_BUILD_DIR chooses the build folder (default build/mingw, or
# build/mingw64 for x86_64); TELVORA_GALLERY_HOVER the caption of the button
# to point at (default "Install the updates").
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
output=${1:-docs/gallery.png}

telvora_build ButtonGallery gallery-shot
work=$(mktemp -d /tmp/telvora-gallery.XXXXXX)
trap 'telvora_temp_wine_down; rm -rf "$work"' EXIT
telvora_temp_wine_up

exe=$(telvora_wine_tool winepath -w "$build/bin/ButtonGallery.exe")
bmp=$(telvora_wine_tool winepath -w "$work/gallery.bmp")
# Wine's services inherit the output: it goes to a file, never a pipe.
if ! telvora_wine "$build/bin/gallery-shot.exe" "$exe" "$bmp" \
  "${TELVORA_GALLERY_HOVER:-Install the updates}" >"$work/shot.log" 2>&1; then
  cat "$work/shot.log" >&2
  exit 1
fi
cat "$work/shot.log"
mkdir -p "$(dirname "$output")"
convert "$work/gallery.bmp" "$output"
echo "wrote $output"
