#!/usr/bin/env bash
# Runs every test tier and ends with one line "N passed, M failed" over all of them.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
results=build/test-results
rm -rf "$results"; mkdir -p "$results"
passed=0; failed=0

count_xml() {  # adds the counts of one gtest XML report; a missing report is one failure
  local xml=$1 name=$2
  if [ ! -s "$xml" ]; then echo "FAILED: $name produced no report (crashed?)"; failed=$((failed + 1)); return; fi
  local tests failures errors disabled
  tests=$(grep -m1 -o '<testsuites[^>]* tests="[0-9]*"' "$xml" | grep -o 'tests="[0-9]*"' | tr -dc 0-9)
  failures=$(grep -m1 -o '<testsuites[^>]* failures="[0-9]*"' "$xml" | grep -o 'failures="[0-9]*"' | tr -dc 0-9)
  errors=$(grep -m1 -o '<testsuites[^>]* errors="[0-9]*"' "$xml" | grep -o 'errors="[0-9]*"' | tr -dc 0-9)
  disabled=$(grep -m1 -o '<testsuites[^>]* disabled="[0-9]*"' "$xml" | grep -o 'disabled="[0-9]*"' | tr -dc 0-9)
  local bad=$(( ${failures:-0} + ${errors:-0} ))
  passed=$((passed + ${tests:-0} - ${disabled:-0} - bad)); failed=$((failed + bad))
  echo "$name: $(( ${tests:-0} - ${disabled:-0} - bad )) passed, $bad failed"
}

check() {  # one named check that passes or fails as a whole
  local name=$1; shift
  if "$@" > "$results/$name.log" 2>&1; then passed=$((passed + 1)); echo "$name: passed"
  else failed=$((failed + 1)); echo "$name: FAILED"; sed 's/^/  /' "$results/$name.log" | tail -20; fi
}

# Tier 1, natively under ASan/UBSan.
build/native/bin/core_tests --gtest_output="xml:$results/native-core.xml" > "$results/native-core.log" 2>&1 \
  || tail -30 "$results/native-core.log"
count_xml "$results/native-core.xml" "native core_tests"

# Tiers 1 to 4 under Wine, both architectures.
wineserver -p >/dev/null 2>&1 </dev/null || true
for arch in win32 win64; do
  for exe in build/$arch/bin/*_tests.exe; do
    [ -f "$exe" ] || continue
    name="$arch $(basename "$exe" .exe)"
    xml="$results/$arch-$(basename "$exe" .exe).xml"
    timeout 600 wine "$exe" --gtest_output="xml:$(winepath -w "$xml" 2>/dev/null)" \
      > "$results/$arch-$(basename "$exe" .exe).log" 2>&1 </dev/null \
      || grep -E '^\[  FAILED  \]|Failure|error' "$results/$arch-$(basename "$exe" .exe).log" | head -30
    count_xml "$xml" "$name"
  done
done
check "x86 DLL exports and imports" scripts/check-dll.sh dist/x86/orlinui.dll
check "x64 DLL exports and imports" scripts/check-dll.sh dist/x64/orlinui.dll

for extra in scripts/tests.d/*.sh; do
  [ -f "$extra" ] || continue
  check "$(basename "$extra" .sh)" bash "$extra"
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
