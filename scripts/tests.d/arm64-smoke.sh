#!/usr/bin/env bash
# The ARM64 plug-in run: the aarch64 smoke program loads dist/arm64/orlinui.dll under Debian's arm64
# Wine (scripts/arm64-env.sh) and walks its one table of checks; the x64 DLL given to it must be
# refused. The prefix's Wine processes end with the check, also when it is killed: a watchdog
# outside it ends them once it is gone.
set -u
cd "$(dirname "$0")/../.."
. scripts/arm64-env.sh
fail() { echo "FAILED: $*"; exit 1; }
orlin_arm64_runs || fail "the ARM64 plug-in cannot run here: $ORLIN_ARM64_WHY"
smoke=build/arm64/bin/arm64_smoke.exe
for file in "$smoke" dist/arm64/orlinui.dll dist/x64/orlinui.dll; do [ -f "$file" ] || fail "no $file (not built?)"; done

orlin_arm64_end  # a server a killed run left behind
# --foreground keeps timeout in the watchdog's process group, so ending the group ends its wait too.
setsid bash -c 'timeout --foreground 1800 tail --pid="$1" -f /dev/null; . scripts/arm64-env.sh && orlin_arm64_end' \
  arm64-watchdog "$$" </dev/null >/dev/null 2>&1 &
watchdog=$!
trap 'orlin_arm64_end; kill -TERM -- -"$watchdog" 2>/dev/null; wait "$watchdog" 2>/dev/null' EXIT

port=$PWD/build/test-results/arm64-port.bin
mkdir -p "$(dirname "$port")"
orlin_arm64_server -p </dev/null >/dev/null 2>&1
start=$SECONDS
timeout 300 bash -c '. scripts/arm64-env.sh && orlin_arm64_wine "$@"' _ "$smoke" "Z:$PWD/dist/arm64/orlinui.dll" \
  "Z:$PWD/dist/x64/orlinui.dll" "$port" </dev/null >build/test-results/arm64-smoke.out 2>&1
status=$?
grep -E '^(ok|FAILED|set-up)' build/test-results/arm64-smoke.out | tr -d '\r'
[ $status = 0 ] || fail "the smoke program exited with $status: $(tail -n 3 build/test-results/arm64-smoke.out | tr -d '\r')"
echo "arm64: $(grep -E 'checks passed' build/test-results/arm64-smoke.out | tr -d '\r') in $((SECONDS - start)) s"
