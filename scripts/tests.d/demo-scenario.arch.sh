#!/usr/bin/env bash
# The demo scenario on the virtual printer, for one architecture (x86 or x64): every job setting
# and maintenance action through the plug-in's pages, each expectation met, and every job received
# byte for byte.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
arch=$1
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if wine "dist/$arch/orlinhost.exe" run demo --printer "Orlin Virtual Printer" </dev/null >"$log" 2>&1; then
  echo "$arch: $(grep -E '^Scenario passed' "$log") $(grep -E '^Every job' "$log")"
else
  echo "$arch: FAILED"
  grep -E 'FAILED|orlinhost:|MISSING|DIFFERENT|did NOT' "$log" | head -20
  tail -n 5 "$log"
  exit 1
fi
