#!/usr/bin/env bash
# Builds the bench programs and runs them under Wine on a private display.
# Every figure is a ratio to an anchor measured in the same run, in paired
# rounds; the median of the rounds' ratios and their spread are printed.
#   scripts/bench.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
# Timings of emulated code mean nothing: the benches run the x86_64 build
# (natively under 64-bit Wine) unless TELVORA_ARCH says otherwise.
export TELVORA_ARCH=${TELVORA_ARCH:-x86_64}
rounds=${1:-15}
# The scale bench shows forms of up to 5000 buttons (50 a row of 60 x 20):
# a screen they fit on.
export TELVORA_XVFB_SCREEN=${TELVORA_XVFB_SCREEN:-3200x2200x24}

telvora_build TELVORA minimal-window native-window native-window-framework startup-bench startup-steps paint-bench \
  fading-bench graphics-bench scale-bench
trap telvora_temp_wine_down EXIT
telvora_temp_wine_up

bin="$build/bin"
winpath() { telvora_wine_tool winepath -w "$1" 2>/dev/null; }
status=0

echo "== Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
echo
echo "== Button paint against a native themed BUTTON"
telvora_wine "$bin/paint-bench.exe" "$rounds" || status=1
echo
echo "== Fading against memcpy"
telvora_wine "$bin/fading-bench.exe" "$rounds" || status=1
echo
echo "== Start-up against the same window of native controls (alone, and with the pieces the"
echo "   window framework must add) and the minimal window program"
telvora_wine "$bin/startup-bench.exe" "$rounds" "$(winpath "$bin/TELVORA.exe")" \
  "$(winpath "$bin/native-window.exe")" "$(winpath "$bin/native-window-framework.exe")" \
  "$(winpath "$bin/minimal-window.exe")" || status=1
echo
echo "== Where start-up time goes"
telvora_wine "$bin/startup-bench.exe" --steps "$rounds" 'C:\telvora-startup-steps.txt' \
  "$(winpath "$bin/startup-steps.exe")" "$(winpath "$bin/native-window.exe")" \
  "$(winpath "$bin/native-window-framework.exe")" || status=1
echo
echo "== Canvas: button paint sequence and caption routes"
telvora_wine "$bin/graphics-bench.exe" || status=1
echo
echo "== The button library at scale: forms of N buttons against windows of N native buttons"
telvora_wine "$bin/scale-bench.exe" "$rounds" || status=1
echo
echo "== Machine: load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
exit $status
