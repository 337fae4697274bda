#!/usr/bin/env bash
# Runs every test tier and ends with one line "N passed, M failed, K skipped" over all of them.
# Where x86 programs cannot run (or with ORLIN_X86=no) the x86 run-time tiers are skipped, each by
# name with the reason; the x86 DLL is still checked as a file. Every Wine process this run started
# is ended when it exits, also after a failure or an interrupt, and when the run is killed (tiers.sh).
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/arm64-env.sh
results=build/test-results
rm -rf "$results"; mkdir -p "$results"
passed=0; failed=0; skipped=0
arches=x64
orlin_x86_runs && arches="x86 x64"
if [ "$(cat "$WINEPREFIX/.orlin-arches" 2>/dev/null)" != "$arches" ]; then
  echo "The Wine prefix $WINEPREFIX is not set up for $arches: run scripts/setup.sh first (make test does)."
  exit 1
fi
. scripts/tiers.sh
orlin_tiers_end_leftovers
orlin_tiers_watch
run() { orlin_tier_run "$@"; }
end_run() {
  orlin_tiers_end
  orlin_wine_end
}
trap end_run EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

skip() { skipped=$((skipped + 1)); echo "$1: not run (x86: $ORLIN_X86_WHY)"; }

count_xml() {  # adds the counts of one gtest XML report; a missing report is one failure
  local xml=$1 name=$2 log=$3 code=$4
  if [ ! -s "$xml" ]; then
    failed=$((failed + 1))
    if [ "$code" = 124 ]; then echo "FAILED: $name was stopped after 600 s"
    elif grep -q '^\[==========\] Running' "$log" 2>/dev/null; then
      echo "FAILED: $name crashed (exit $code) before writing its report"
    else
      echo "FAILED: $name did not start (exit $code): $(grep -v '^\s*$' "$log" 2>/dev/null | tail -n 1)"
    fi
    return
  fi
  local tests failures errors disabled
  tests=$(grep -m1 -o '<testsuites[^>]* tests="[0-9]*"' "$xml" | grep -o 'tests="[0-9]*"' | tr -dc 0-9)
  failures=$(grep -m1 -o '<testsuites[^>]* failures="[0-9]*"' "$xml" | grep -o 'failures="[0-9]*"' | tr -dc 0-9)
  errors=$(grep -m1 -o '<testsuites[^>]* errors="[0-9]*"' "$xml" | grep -o 'errors="[0-9]*"' | tr -dc 0-9)
  disabled=$(grep -m1 -o '<testsuites[^>]* disabled="[0-9]*"' "$xml" | grep -o 'disabled="[0-9]*"' | tr -dc 0-9)
  local bad=$(( ${failures:-0} + ${errors:-0} ))
  passed=$((passed + ${tests:-0} - ${disabled:-0} - bad)); failed=$((failed + bad))
  echo "$name: $(( ${tests:-0} - ${disabled:-0} - bad )) passed, $bad failed"
}

check() {  # one named check that passes or fails as a whole, stopped after 1200 s like any tier
  local name=$1 code; shift
  run timeout 1200 "$@" > "$results/$name.log" 2>&1 </dev/null
  code=$?
  if [ $code = 0 ]; then passed=$((passed + 1)); echo "$name: passed"; return; fi
  failed=$((failed + 1))
  if [ $code = 124 ]; then echo "$name: FAILED (stopped after 1200 s)"; else echo "$name: FAILED"; fi
  sed 's/^/  /' "$results/$name.log" | tail -20
}

# Tier 1, natively under ASan/UBSan.
run build/native/bin/core_tests --gtest_output="xml:$results/native-core.xml" > "$results/native-core.log" 2>&1
code=$?
[ $code = 0 ] || tail -30 "$results/native-core.log"
count_xml "$results/native-core.xml" "native core_tests" "$results/native-core.log" $code

# Tiers 1 to 4 under Wine, both architectures where they run.
orlin_wine_start || { echo "FAILED: the Wine server of $WINEPREFIX could not be started"; exit 1; }
results_windows=$(winepath -w "$PWD/$results" 2>"$results/winepath.log") ||
  echo "FAILED: winepath does not run: $(tail -n 1 "$results/winepath.log")"
for arch in win32 win64; do
  for exe in build/$arch/bin/*_tests.exe; do
    [ -f "$exe" ] || continue
    program=$(basename "$exe" .exe)
    name="$arch $program"
    if [ $arch = win32 ] && ! orlin_x86_runs; then skip "$name"; continue; fi
    log="$results/$arch-$program.log"
    run timeout 600 wine "$exe" --gtest_output="xml:$results_windows\\$arch-$program.xml" > "$log" 2>&1 </dev/null
    code=$?
    [ $code = 0 ] || grep -E '^\[  FAILED  \]|Failure|error' "$log" | head -30
    count_xml "$results/$arch-$program.xml" "$name" "$log" $code
  done
done
check "x86 DLL exports, imports and machine" scripts/check-dll.sh dist/x86/orlinui.dll x86
check "x64 DLL exports, imports and machine" scripts/check-dll.sh dist/x64/orlinui.dll x64
check "arm64 DLL exports, imports and machine" scripts/check-dll.sh dist/arm64/orlinui.dll arm64

# Named checks; a FILE.arch.sh runs once per architecture, with x86 or x64 as its argument.
for extra in scripts/tests.d/*.sh; do
  [ -f "$extra" ] || continue
  name=$(basename "$extra" .sh)
  case $extra in
    *.arch.sh)
      name=${name%.arch}
      check "$name x64" bash "$extra" x64
      if orlin_x86_runs; then check "$name x86" bash "$extra" x86; else skip "$name x86"; fi ;;
    *)
      # The ARM64 run needs the arm64 Wine of the set-up; ORLIN_ARM64=yes lets it fail instead.
      if [ "$name" = arm64-smoke ] && [ "${ORLIN_ARM64:-}" != yes ] && ! orlin_arm64_runs; then
        skipped=$((skipped + 1)); echo "$name: not run (arm64: $ORLIN_ARM64_WHY)"; continue
      fi
      check "$name" bash "$extra" ;;
  esac
done

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
