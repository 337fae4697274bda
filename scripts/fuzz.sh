#!/usr/bin/env bash
# Runs every libFuzzer target from its committed seed corpus. `short` (make test): a few seconds
# each, as a named check; `long` (make fuzz): minutes each. A crash or a broken invariant fails.
# FUZZ_SECONDS sets the time per target, FUZZ_BIN the folder of the built targets.
set -u
cd "$(dirname "$0")/.."
mode=${1:-short}
seconds=${FUZZ_SECONDS:-$([ "$mode" = long ] && echo 300 || echo 8)}
bin=${FUZZ_BIN:-build/native/bin}
logs=$(dirname "$bin")  # beside the targets: runs from other build folders keep their own logs
status=0
for target in "$bin"/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds=fuzz/corpus/$name
  work=build/fuzz-corpus/$name
  mkdir -p "$work" build/fuzz-artifacts
  if "$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix=build/fuzz-artifacts/$name- "$work" "$seeds" > "$logs/fuzz-$name.log" 2>&1; then
    runs=$(grep -a -m1 -oE 'stat::number_of_executed_units: *[0-9]+' "$logs/fuzz-$name.log" | grep -oE '[0-9]+$')
    echo "$name: ${runs:-?} inputs in ${seconds}s, invariants held"
  else
    echo "$name: FAILED"; tail -30 "$logs/fuzz-$name.log"; status=1
  fi
done
exit $status
