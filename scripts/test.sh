#!/usr/bin/env bash
# Builds everything and runs every test under Wine, in a throwaway prefix on
# a private Xvfb display with one wineserver for the whole run: the suite of
# the i686 build (the program that ships) and then that of the x86_64 build.
#   scripts/test.sh [ctest arguments...]
# TELVORA_ARCH=i686 or x86_64 builds and runs one of the two alone;
# TELVORA_BUILD_DIR then chooses its build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh

if [ -n "${TELVORA_ARCH:-}" ]; then
  archs=("$TELVORA_ARCH")
else
  archs=(i686 x86_64)
  unset TELVORA_BUILD_DIR
fi

declare -A builds
for arch in "${archs[@]}"; do
  TELVORA_ARCH=$arch
  telvora_build
  builds[$arch]=$build
done
TELVORA_ARCH=${archs[0]}

trap telvora_temp_wine_down EXIT
telvora_temp_wine_up
echo "Wine prefix $WINEPREFIX on display $DISPLAY"

passed=0
failed=0
status=0
# Adds the counts of a CTest log's summary line; fails the run without one.
count() {
  local summary
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1 || true)
  if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
  else
    status=1
  fi
}

for arch in "${archs[@]}"; do
  dir=${builds[$arch]}
  echo
  echo "== Tests of the $arch build ($dir)"
  start=$SECONDS
  # The clang pass over the sources needs no desktop and takes minutes: in
  # a whole run it goes on beside the others.
  clang=""
  if [ $# -eq 0 ] && ctest --test-dir "$dir" -N -R '^clang_syntax$' | grep -q 'Total Tests: 1'; then
    clang="$dir/ctest-clang-output.txt"
    ctest --test-dir "$dir" --output-on-failure -R '^clang_syntax$' >"$clang" 2>&1 &
    clang_pid=$!
    ctest --test-dir "$dir" --output-on-failure -E '^clang_syntax$' 2>&1 | tee "$dir/ctest-output.txt" ||
      status=1
    wait "$clang_pid" || status=1
    cat "$clang"
    count "$clang"
  else
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$dir/ctest-output.txt" || status=1
  fi
  count "$dir/ctest-output.txt"
  echo "== $arch: $((SECONDS - start)) s"
done

echo
echo "tests: $passed passed, $failed failed"
exit $status
