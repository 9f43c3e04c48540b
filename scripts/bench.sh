#!/usr/bin/env bash
# Builds the bench programs and runs them under Wine on a private display.
#   scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
runs=${1:-20}

telvora_build
trap telvora_temp_wine_down EXIT
telvora_temp_wine_up

bin="$build/bin"
echo "== Start-up: process start to main window shown ($runs runs each)"
telvora_wine "$bin/startup-bench.exe" "$runs" "$(telvora_wine winepath -w "$bin/TELVORA.exe")" \
  "$(telvora_wine winepath -w "$bin/minimal-window.exe")"

echo "== Canvas: button paint sequence and caption routes"
telvora_wine "$bin/graphics-bench.exe"

echo "== Fading: one frame of a button-sized fade"
telvora_wine "$bin/fading-bench.exe"
