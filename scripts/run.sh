#!/usr/bin/env bash
# Builds TELVORA and runs it under Wine. With a display ($DISPLAY) the window
# opens there for you to use. Without one it runs headless under Xvfb: it
# clicks "GUID Oku" and "Kopyala" itself, prints the GUID read and the text
# on the clipboard, and saves a screenshot of the window (docs/telvora.png,
# or the path given as the first argument).
# TELVORA_WINEPREFIX chooses the prefix (default ~/.cache/telvora/wineprefix).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh

telvora_build TELVORA telvora-drive
prefix=${TELVORA_WINEPREFIX:-$HOME/.cache/telvora/wineprefix}
if [ -n "${DISPLAY:-}" ]; then
  telvora_wine_up "$prefix"
  trap 'wineserver -k 2>/dev/null || true' EXIT
  telvora_wine "$build/bin/TELVORA.exe"
  exit 0
fi

shot=${1:-docs/telvora.png}
mkdir -p "$(dirname "$shot")"
trap telvora_wine_down EXIT
telvora_wine_up "$prefix"
bmp=$(mktemp /tmp/telvora-shot.XXXXXX.bmp)
telvora_wine "$build/bin/telvora-drive.exe" "$build/bin/TELVORA.exe" "$(telvora_wine_tool winepath -w "$bmp")"
convert "$bmp" "$shot"
rm -f "$bmp"
echo "Screenshot: $shot"
