#!/usr/bin/env bash
# orlinhost run with wrong scenarios: a bad line is refused with its number before anything is
# loaded or sent (exit 2); a failed expectation or an impossible click stops the run at its line
# (exit 1) and nothing after it is sent. The JUnit report of a failed run, read with an XML parser,
# holds that one failure; a refused run leaves an earlier report as it was, a report path that is
# the scenario itself is refused, and a report that cannot be written stops the command.
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
printer="Orlin Virtual Printer"
jobs=$(orlin_jobs_folder)
work=build/test-results/scenario-language
fail() { echo "FAIL: $*"; exit 1; }
# Counting a folder nothing writes to would pass every "nothing was sent" below unchecked.
[ -d "$jobs" ] || fail "the virtual printer of $WINEPREFIX has no jobs folder $jobs"
rm -rf "$work"; mkdir -p "$work"
count_jobs() { find "$jobs" -maxdepth 1 -name '*.bin' 2>/dev/null | wc -l; }

# run NAME EXPECTED-EXIT [OPTION...]: runs $work/NAME.scenario; its output in $work/NAME.out
run() {
  local name=$1 expected=$2 before after code
  shift 2
  before=$(count_jobs)
  wine dist/x64/orlinhost.exe run "$work/$name.scenario" --printer "$printer" "$@" </dev/null >"$work/$name.out" 2>&1
  code=$?
  sleep 1
  after=$(count_jobs)
  [ "$code" = "$expected" ] || fail "$name: exit $code, expected $expected:"$'\n'"$(cat "$work/$name.out")"
  [ "$before" = "$after" ] || fail "$name: the printer received $((after - before)) job(s)"
}
has() { grep -qF -- "$2" "$work/$1.out" || fail "$1: no \"$2\" in:"$'\n'"$(cat "$work/$1.out")"; }

printf 'document\npage Utilities\nclick "Printhead Clean"\nfrobnicate now\nok\n' > "$work/bad-line.scenario"
echo 'an earlier run' > "$work/bad-line.xml"
run bad-line 2 --junit "$(winepath -w "$work/bad-line.xml")"
has bad-line 'line 4: unknown statement "frobnicate"'
has bad-line 'nothing was sent'
[ "$(cat "$work/bad-line.xml")" = 'an earlier run' ] || fail "bad-line: the earlier report was changed"
[ -z "$(find "$work" -name 'bad-line.xml.*')" ] || fail "bad-line: a temporary report was left"
# The scenario named as its own report, by its own name, its Windows path or a second link to it:
# refused, the scenario untouched.
cp "$work/bad-line.scenario" "$work/own-report.scenario"
ln "$work/own-report.scenario" "$work/own-report-link.xml"
for report in "$work/own-report.scenario" "$(winepath -w "$work/own-report.scenario")" "$work/own-report-link.xml"; do
  run own-report 2 --junit "$report"
  has own-report 'is the scenario itself'
  cmp -s "$work/bad-line.scenario" "$work/own-report.scenario" || fail "own-report: the scenario was changed"
done

printf 'document\nselect 1012\nclick "Printhead Clean\nok\n' > "$work/bad-lines.scenario"
run bad-lines 2
has bad-lines 'line 2: expected: select LIST-ID ENTRY'
has bad-lines 'line 3: a quoted text is not closed'

printf 'document\npage Utilities\nexpect page Utilities\nexpect jobs 1\nclick "Printhead Clean"\nok\nexpect job "Fish & <Chips>"\n' \
  > "$work/failed-expectation.scenario"
run failed-expectation 1 --junit "$(winepath -w "$work/failed-expectation.xml")"
has failed-expectation 'Scenario FAILED at line 4: 0 job(s) were sent'
python3 - "$work/failed-expectation.xml" "$(sed -n 's/^Scenario FAILED at //p' "$work/failed-expectation.out" | tr -d '\r')" <<'EOF_PY' ||
import sys, xml.etree.ElementTree as ET
cases = ET.parse(sys.argv[1]).getroot().find("testsuite").findall("testcase")
names = [c.get("name") for c in cases]
assert names == ["line 3: expect page Utilities", "line 4: expect jobs 1", 'line 7: expect job "Fish & <Chips>"',
                 "every job reached the printer unchanged"], names
failures = [f for c in cases for f in c.findall("failure")]
assert len(failures) == 1 and failures[0].get("message") == sys.argv[2], [f.get("message") for f in failures]
assert cases[1].find("failure") is not None and cases[2].find("skipped") is not None
EOF_PY
  fail "failed-expectation: the JUnit report: $(cat "$work/failed-expectation.xml")"
run failed-expectation 2 --junit "$(winepath -w "$work/no-such-folder/report.xml")"
has failed-expectation 'cannot write the report'

printf 'document\npage Utilities\nclick 1036\nclick "Printhead Clean"\nok\n' > "$work/hidden-button.scenario"
run hidden-button 1
has hidden-button 'line 3: the control 1036 is hidden'

printf 'document\npage Utilities\nclick "Printhead Alignment"\nanswer Alignment Print\nexpect dialog "Nozzle Check"\nclick Finish\nok\n' \
  > "$work/wrong-dialog.scenario"
before=$(count_jobs)
wine dist/x64/orlinhost.exe run "$work/wrong-dialog.scenario" --printer "$printer" </dev/null >"$work/wrong-dialog.out" 2>&1
code=$?
[ "$code" = 1 ] || fail "wrong-dialog: exit $code"
has wrong-dialog 'line 5: the open dialog is "Alignment Adjustment"'
# Only the alignment pattern went out: the adjustment dialog was cancelled, not finished.
grep -qE '^Jobs sent by the plug-in: 1;' "$work/wrong-dialog.out" || fail "wrong-dialog: $(grep '^Jobs sent' "$work/wrong-dialog.out")"
# Screenshots need a display: the headless prefix refuses them before anything runs.
printf 'document\nok\n' > "$work/shots.scenario"
wine dist/x64/orlinhost.exe run "$work/shots.scenario" --printer "$printer" --screenshots "$work/shots" </dev/null \
  >"$work/shots.out" 2>&1
code=$?
[ "$code" = 2 ] || fail "screenshots without a display: exit $code"
has shots '--screenshots needs a display'

echo "bad lines refused before anything ran; failed expectations stop the run at their line"
