#!/usr/bin/env bash
# The demo scenario on the virtual printer, for one architecture (x86 or x64): every job setting
# and maintenance action through the plug-in's pages, each expectation met, and every job received
# byte for byte; the JUnit report lists every expectation as met, read back with an XML parser.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
arch=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/log
report=$(winepath -w "$work/demo.xml") || { echo "$arch: FAILED: winepath"; exit 1; }
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
else
  echo "$arch: FAILED"
  grep -E 'FAILED|orlinhost:|MISSING|DIFFERENT|did NOT' "$log" | head -20
  tail -n 5 "$log"
  exit 1
fi
