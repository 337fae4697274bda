#!/usr/bin/env bash
# The main job: the plug-in loaded as the driver's UI core loads it, both architectures, then the
# built-in demo scenario on the virtual printer: every job setting and every maintenance action
# through the plug-in's pages, the printer's Offset, and each job the printer received checked
# byte for byte against what the plug-in sent.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
# No persistent wineserver here: Wine's services inherit the first program's output, and a server
# that never ends would keep a pipe such as `make demo | less` open for ever.
printer="Orlin Virtual Printer"
status=0

for arch in x86 x64; do
  echo "== orlinhost info ($arch) =="
  wine "dist/$arch/orlinhost.exe" info </dev/null || status=1
  echo
done

echo "== orlinhost run demo --printer \"$printer\" (x64) =="
wine dist/x64/orlinhost.exe run demo --printer "$printer" </dev/null
x64=$?

echo
echo "== orlinhost run demo --printer \"$printer\" (x86, summary only) =="
log=build/demo-x86.log
mkdir -p build
wine dist/x86/orlinhost.exe run demo --printer "$printer" </dev/null >"$log" 2>&1
x86=$?
grep -E '^(Scenario (passed|FAILED)|Every job|The printer|Jobs sent|Plug-in object)' "$log"

echo
if [ $status = 0 ] && [ $x64 = 0 ] && [ $x86 = 0 ]; then
  echo "Demo passed: the x64 and x86 plug-ins did everything the scenario expected, and the virtual"
  echo "printer received every job byte for byte (jobs kept in build/virtual-printer/jobs/)."
else
  echo "Demo FAILED (info: $status, x64 scenario: $x64, x86 scenario: $x86; x86 log: $log)"
  exit 1
fi
