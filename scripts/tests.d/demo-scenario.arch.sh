#!/usr/bin/env bash
# The demo scenario on the virtual printer, for one architecture (x86 or x64): every job setting
# and maintenance action through the plug-in's pages, each expectation met, and every job received
# byte for byte; the JUnit report lists every expectation as met, read back with an XML parser. The
# same scenario then runs in Japanese (its English captions found through the plug-in's resources),
# and the printer receives exactly the jobs of the English run.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
arch=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/log
jobs=$(orlin_jobs_folder)
report=$(winepath -w "$work/demo.xml") || { echo "$arch: FAILED: winepath"; exit 1; }
ls "$jobs" >"$work/before-en" 2>/dev/null
if wine "dist/$arch/orlinhost.exe" run demo --printer "Orlin Virtual Printer" --junit "$report" </dev/null >"$log" 2>&1; then
  met=$(sed -nE 's/^Scenario passed: ([0-9]+) expectation.*/\1/p' "$log")
  python3 - "$work/demo.xml" "$met" <<'EOF_PY' || { echo "$arch: FAILED: the JUnit report"; exit 1; }
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot().find("testsuite")
cases = suite.findall("testcase")
expectations = [c for c in cases if c.get("name").startswith("line ")]
assert len(expectations) == int(sys.argv[2]) > 0, (len(expectations), sys.argv[2])
assert all(c.get("name").split(": ", 1)[1].startswith("expect ") for c in expectations)
assert not suite.findall(".//failure") and not suite.findall(".//skipped"), ET.tostring(suite)
assert [c.get("name") for c in cases if c not in expectations] == ["every job reached the printer unchanged"]
assert suite.get("tests") == str(len(cases)) and suite.get("failures") == "0"
EOF_PY
  echo "$arch: $(grep -E '^Scenario passed' "$log") $(grep -E '^Every job' "$log")"
  ls "$jobs" | comm -13 "$work/before-en" - >"$work/jobs-en"
  ls "$jobs" >"$work/before-ja"
  if ! wine "dist/$arch/orlinhost.exe" run demo --printer "Orlin Virtual Printer" --language ja-JP </dev/null \
    >"$log" 2>&1; then
    echo "$arch: FAILED in Japanese"
    grep -E 'FAILED|orlinhost:|MISSING|DIFFERENT|did NOT' "$log" | head -20
    exit 1
  fi
  ls "$jobs" | comm -13 "$work/before-ja" - >"$work/jobs-ja"
  [ "$(wc -l <"$work/jobs-en")" -gt 0 ] && [ "$(wc -l <"$work/jobs-en")" = "$(wc -l <"$work/jobs-ja")" ] ||
    { echo "$arch: FAILED: $(wc -l <"$work/jobs-ja") jobs in Japanese, $(wc -l <"$work/jobs-en") in English"; exit 1; }
  paste -d' ' "$work/jobs-en" "$work/jobs-ja" | while read -r en ja; do
    cmp -s "$jobs/$en" "$jobs/$ja" || { echo "$arch: FAILED: the Japanese run's $ja differs from English's $en"; exit 1; }
  done || exit 1
  echo "$arch: in Japanese too, $(wc -l <"$work/jobs-ja") jobs byte for byte the English run's"
else
  echo "$arch: FAILED"
  grep -E 'FAILED|orlinhost:|MISSING|DIFFERENT|did NOT' "$log" | head -20
  tail -n 5 "$log"
  exit 1
fi
