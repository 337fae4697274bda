#!/usr/bin/env bash
# The main job: the plug-in loaded as the driver's UI core loads it, both architectures, then the
# built-in demo scenario on the virtual printer: every job setting and every maintenance action
# through the plug-in's pages, the printer's Offset, and each job the printer received checked
# byte for byte against what the plug-in sent; then the same settings as a PrintTicket. Where x86
# programs cannot run, the x64 part runs in full and one line says why the x86 part did not.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
trap orlin_wine_end EXIT
orlin_wine_start || exit 1
printer="Orlin Virtual Printer"
arches=(x64)
orlin_x86_runs && arches=(x86 x64)
status=0

for arch in "${arches[@]}"; do
  echo "== orlinhost info ($arch) =="
  wine "dist/$arch/orlinhost.exe" info </dev/null || status=1
  echo
done

echo "== orlinhost run demo --printer \"$printer\" (x64) =="
wine dist/x64/orlinhost.exe run demo --printer "$printer" </dev/null
x64=$?
echo

# The same settings as a PrintTicket application sees them: the job's ticket, then an application's
# Photo with Medium drops, which the plug-in resolves to Light as its Ink Level page does.
echo "== orlinhost ticket --printer \"$printer\" (x64): the job's PrintTicket =="
ticket_log=build/demo-ticket.log
timeout 300 wine dist/x64/orlinhost.exe ticket --printer "$printer" </dev/null >"$ticket_log" 2>&1
ticket=$?
sed -n '/^PrintTicket of the job:/,$p' "$ticket_log"
echo
echo "== orlinhost ticket --printer \"$printer\" --set PrintMode=Photo --set InkDropSize=Medium (x64) =="
timeout 300 wine dist/x64/orlinhost.exe ticket --printer "$printer" --set PrintMode=Photo --set InkDropSize=Medium \
  </dev/null >"$ticket_log" 2>&1 || ticket=1
grep -E '^(Set |  ValidatePrintTicket)' "$ticket_log"
sed -n '/^PrintTicket, validated:/,/^<\/psf:PrintTicket>/p' "$ticket_log" |
  grep --no-group-separator -A1 -E 'name="orlin:(PrintMode|InkDropSize)"'
grep -E '^  (printMode|dropSize) ' "$ticket_log"
grep -qF 'dropSize      2 (Light)' "$ticket_log" && grep -qF 'S_CONFLICT_RESOLVED' "$ticket_log" || ticket=1
[ $ticket = 0 ] || { echo "-- why (the end of $ticket_log) --"; tail -n 8 "$ticket_log"; }
echo

# An application in German reads the features' and options' display names in German.
echo "== orlinhost ticket --printer \"$printer\" --language de-DE (x64): the display names =="
german=0
timeout 300 wine dist/x64/orlinhost.exe ticket --printer "$printer" --language de-DE </dev/null >"$ticket_log" 2>&1 ||
  german=1
sed -n '/^PrintCapabilities:/,/^<\/psf:PrintCapabilities>/p' "$ticket_log" | python3 -c '
import re, sys
for feature, body in re.findall(r"<psf:Feature name=\"(orlin:\w+)\">(.*?)</psf:Feature>", sys.stdin.read(), re.S):
    names = re.findall(r"psk:DisplayName\">\s*<psf:Value[^>]*>([^<]*)<", body)
    if names:
        print("  %-28s %s: %s" % (feature, names[0], ", ".join(names[1:])))
'
[ $german = 0 ] || { echo "-- why (the end of $ticket_log) --"; tail -n 8 "$ticket_log"; ticket=1; }
echo

x86=0
if orlin_x86_runs; then
  echo "== orlinhost run demo --printer \"$printer\" (x86, summary only) =="
  log=build/demo-x86.log
  wine dist/x86/orlinhost.exe run demo --printer "$printer" </dev/null >"$log" 2>&1
  x86=$?
  grep -E '^(Scenario (passed|FAILED)|Every job|The printer|Jobs sent|Plug-in object)' "$log"
  if [ $x86 != 0 ]; then
    echo "-- why (the end of $log) --"
    grep -vE '^\s*$' "$log" | tail -n 8
  fi
  echo
  summary="the x64 and x86 plug-ins did"
else
  echo "The x86 part was not run: $ORLIN_X86_WHY."
  echo
  summary="the x64 plug-in did"
fi

# The ARM64 plug-in under arm64 Wine, in one line: the smoke program's table of checks.
. scripts/arm64-env.sh
arm64=0
echo "== the ARM64 plug-in under arm64 Wine (scripts/tests.d/arm64-smoke.sh) =="
if orlin_arm64_runs || [ "${ORLIN_ARM64:-}" = yes ]; then
  arm64_log=build/demo-arm64.log
  bash scripts/tests.d/arm64-smoke.sh >"$arm64_log" 2>&1 || arm64=1
  if [ $arm64 = 0 ]; then tail -n 1 "$arm64_log"; else echo "ARM64 FAILED: $(grep -m1 -E '^FAILED' "$arm64_log")"; fi
else
  echo "ARM64: not run ($ORLIN_ARM64_WHY)"
fi
echo

if [ $status = 0 ] && [ $x64 = 0 ] && [ $x86 = 0 ] && [ $ticket = 0 ] && [ $arm64 = 0 ]; then
  echo "Demo passed: $summary everything the scenario expected, and the virtual printer"
  jobs=$(orlin_jobs_folder)
  echo "received every job byte for byte (jobs kept in ${jobs#"$orlin_root"/}/)."
else
  echo "Demo FAILED (info: $status, x64 scenario: $x64, x86 scenario: $x86, ticket: $ticket, arm64: $arm64)"
  exit 1
fi
