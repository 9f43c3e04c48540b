#!/usr/bin/env bash
# Builds and runs the soak: the real TELVORA.exe driven under Wine for the
# given time (default 600 s) in a throwaway prefix on a private display,
# measured from outside (windows, kernel handles, committed private memory,
# GDI objects by type) before and after a warm-up and at the end.
#   scripts/soak.sh [SECONDS] [soak arguments...]
# TELVORA_SOAK_SEED fixes the random order of the steps (default: a new
# seed each run, printed). Further arguments go to the driver, for example
# --only hover,storm or --skip dpi. The exit code is the driver's: 0 only
# when every step passed, nothing grew after the warm-up and TELVORA, closed
# at the end, exited with code 0.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh

seconds=600
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
seed=${TELVORA_SOAK_SEED:-$(( $(date +%s) % 1000000 ))}

telvora_build soak
trap telvora_temp_wine_down EXIT
telvora_temp_wine_up
echo "Wine prefix $WINEPREFIX on display $DISPLAY"

status=0
telvora_wine "$build/bin/soak.exe" --seconds "$seconds" --seed "$seed" "$@" </dev/null || status=$?
exit $status
