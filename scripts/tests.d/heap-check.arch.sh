#!/usr/bin/env bash
# The plug-in and end-to-end test programs of one architecture (x86 or x64, the first argument) once
# more under Wine's heap checking (WINEDEBUG=warn+heap: every heap is validated on every call, freed
# blocks are filled and held back). Every test must pass, and Wine must report nothing about a heap
# but the notices of a fixed-size heap that cannot grow, which the tests that fill such a heap cause.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
case "${1:-}" in
  x86) bin=build/win32/bin ;;
  x64) bin=build/win64/bin ;;
  *) echo "usage: $0 x86|x64"; exit 2 ;;
esac
arch=$1
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
status=0; passed=0; notices=0
growth="warn:heap:[a-z_]+ Heap [0-9A-Fa-fx]+ isn't growable, cannot allocate"

for program in plugin_tests e2e_tests; do
  [ -f "$bin/$program.exe" ] || { echo "$arch: no $bin/$program.exe (not built?)"; exit 1; }
done
# The plug-in tests run as two halves at once: the checker's time grows with the heap a process has
# built up, and the machine has a core to spare beside the one Wine's tiers use.
runs=("plugin_tests 0 2" "plugin_tests 1 2" "e2e_tests 0 1")  # program, shard, shards
pids=()
for run in "${runs[@]}"; do
  set -- $run
  GTEST_SHARD_INDEX=$2 GTEST_TOTAL_SHARDS=$3 WINEDEBUG=warn+heap timeout 900 wine "$bin/$1.exe" </dev/null \
    >"$work/$1-$2.out" 2>"$work/$1-$2.err" &
  pids+=($!)
done
for i in "${!runs[@]}"; do
  wait "${pids[$i]}"
  code=$?
  set -- ${runs[$i]}
  program=$1-$2
  if [ $code -ne 0 ]; then
    echo "$arch: $program exited with $code under heap checking:"
    grep -E '^\[  FAILED  \]|Failure$' "$work/$program.out" | head -20
    status=1
  fi
  count=$(grep -m1 -oE '^\[  PASSED  \] [0-9]+' "$work/$program.out" | grep -oE '[0-9]+$')
  passed=$((passed + ${count:-0}))
  grep -E ':(err|warn|fixme):heap:' "$work/$program.err" >"$work/$program.heap"
  notices=$((notices + $(grep -cE "$growth" "$work/$program.heap")))
  if grep -vE "$growth" "$work/$program.heap" >"$work/$program.bad"; then
    echo "$arch: $program: heap warnings:"
    head -40 "$work/$program.bad"
    status=1
  fi
done

if [ $status -eq 0 ]; then
  echo "$arch: $passed tests passed under heap checking; no heap warning but $notices growth notices"
else
  echo "$arch: FAILED under heap checking ($passed tests passed)"
fi
exit $status
