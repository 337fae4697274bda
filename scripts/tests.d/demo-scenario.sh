#!/usr/bin/env bash
# The demo scenario on the virtual printer, x64 and x86: every job setting and maintenance action
# through the plug-in's pages, each expectation met, and every job received byte for byte.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
printer="Orlin Virtual Printer"
status=0
for arch in x64 x86; do
  log=$(mktemp)
  if wine "dist/$arch/orlinhost.exe" run demo --printer "$printer" </dev/null >"$log" 2>&1; then
    echo "$arch: $(grep -E '^Scenario passed' "$log") $(grep -E '^Every job' "$log")"
  else
    echo "$arch: FAILED"
    grep -E 'FAILED|orlinhost:|MISSING|DIFFERENT|did NOT' "$log" | head -20
    status=1
  fi
  rm -f "$log"
done
exit $status
