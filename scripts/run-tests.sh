#!/usr/bin/env bash
# Runs every test tier and ends with one line "N passed, M failed, K skipped" over all of them; each
# tier's line gives its seconds. ONLY="WORD..." runs the tiers and checks its words name, as the
# summary prints them: a name (plugin_tests, demo-scenario) and an architecture (native, win64 or
# x64, win32 or x86, arm64) narrow each other, several names add up ("win64 plugin_tests formatting").
# FILTER=PATTERN goes to the test programs as their --gtest_filter, and then the named checks run
# only where ONLY names them. Where x86 programs cannot run (or with ORLIN_X86=no) the x86 tiers are
# skipped, and said so once with the reason; the x86 DLL and host are still checked as files. Every
# Wine process this run started is ended when it exits, also after a failure or an interrupt, and
# when the run is killed (tiers.sh). The ARM64 run (arm64-smoke) needs the arm64 Wine of the set-up
# and is skipped, with the reason, where it cannot happen; ORLIN_ARM64=yes makes that a failure.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/arm64-env.sh
results=build/test-results
passed=0; failed=0; skipped=0; skipped_names=()
arches=x64
orlin_x86_runs && arches="x86 x64"

# The tiers in the order they run: name as printed, the word that names it, its architecture.
tiers=() bases=() tier_arches=()
add_tier() { tiers+=("$1"); bases+=("$2"); tier_arches+=("${3:-}"); }
add_tier "native core_tests" core_tests native
for program in $(cd build/win64/bin 2>/dev/null && ls -- *_tests.exe 2>/dev/null); do
  program=${program%.exe}
  add_tier "win32 $program" "$program" x86
  add_tier "win64 $program" "$program" x64
done
add_tier "shipped-files x86" shipped-files x86
add_tier "shipped-files x64" shipped-files x64
add_tier "shipped-files arm64" shipped-files arm64
for extra in scripts/tests.d/*.sh; do
  name=$(basename "$extra" .sh)
  case $extra in
    *.arch.sh) add_tier "${name%.arch} x86" "${name%.arch}" x86; add_tier "${name%.arch} x64" "${name%.arch}" x64 ;;
    */arm64-*) add_tier "$name" "$name" arm64 ;;  # a check of the ARM64 plug-in
    *) add_tier "$name" "$name" ;;
  esac
done

arch_of() { case $1 in native) echo native ;; win32 | x86) echo x86 ;; win64 | x64) echo x64 ;; arm64) echo arm64 ;; *) return 1 ;; esac; }
only_names=() only_arches=()
only=${ONLY:-}
for word in ${only//,/ }; do
  if arch=$(arch_of "$word"); then only_arches+=("$arch"); continue; fi
  if [[ " ${bases[*]} " != *" $word "* ]]; then
    echo "ONLY: no tier or check is named \"$word\"; the names are: $(printf '%s\n' "${bases[@]}" | sort -u | tr '\n' ' ')native win32 win64 x86 x64 arm64"
    exit 2
  fi
  only_names+=("$word")
done
# selected INDEX: whether the tier runs. A tier without an architecture runs only when named; the
# named checks run with FILTER only when named.
selected() {
  local base=${bases[$1]} arch=${tier_arches[$1]}
  if [ -z "${ONLY:-}" ]; then [ -z "${FILTER:-}" ] || [[ "$base" == *_tests ]]; return; fi
  [ ${#only_names[@]} = 0 ] || [[ " ${only_names[*]} " == *" $base "* ]] || return 1
  [ -n "$arch" ] || [ ${#only_names[@]} != 0 ] || return 1
  [ -z "$arch" ] || [ ${#only_arches[@]} = 0 ] || [[ " ${only_arches[*]} " == *" $arch "* ]]
}
chosen=()
for i in "${!tiers[@]}"; do selected "$i" && chosen+=("$i"); done
if [ ${#chosen[@]} = 0 ]; then echo "ONLY=\"$ONLY\" names no tier or check that runs here"; exit 2; fi

if [ "$(cat "$WINEPREFIX/.orlin-arches" 2>/dev/null)" != "$arches" ]; then
  echo "The Wine prefix $WINEPREFIX is not set up for $arches: run scripts/setup.sh first (make test does)."
  exit 1
fi
rm -rf "$results"; mkdir -p "$results"
. scripts/tiers.sh
lane=
orlin_tiers_end_leftovers
orlin_tiers_watch
run() { orlin_tier_run "$@"; }
end_run() {
  if [ -n "$lane" ]; then kill -TERM "$lane" 2>/dev/null; orlin_tiers_end_leftovers; fi
  orlin_tiers_end
  orlin_wine_end
}
trap end_run EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

count_xml() {  # adds the counts of one gtest XML report; a missing report is one failure
  local xml=$1 name=$2 log=$3 code=$4 seconds=$5
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
  echo "$name: $(( ${tests:-0} - ${disabled:-0} - bad )) passed, $bad failed ($seconds s)"
}

check() {  # one named check that passes or fails as a whole, stopped after 1200 s like any tier
  local name=$1 code start=$SECONDS; shift
  run timeout 1200 "$@" > "$results/$name.log" 2>&1 </dev/null
  code=$?
  if [ $code = 0 ]; then passed=$((passed + 1)); echo "$name: passed ($((SECONDS - start)) s)"; return; fi
  failed=$((failed + 1))
  if [ $code = 124 ]; then echo "$name: FAILED (stopped after 1200 s)"; else echo "$name: FAILED ($((SECONDS - start)) s)"; fi
  sed 's/^/  /' "$results/$name.log" | tail -20
}

test_program() {  # NAME COMMAND...: one gtest program, its report in $results
  local name=$1 file=${1// /-} code start=$SECONDS; shift
  run "$@" --gtest_output="xml:$report_folder$file.xml" ${FILTER:+--gtest_filter="$FILTER"} > "$results/$file.log" 2>&1 </dev/null
  code=$?
  [ $code = 0 ] || grep -E '^\[  FAILED  \]|Failure|error' "$results/$file.log" | head -30
  count_xml "$results/$file.xml" "$name" "$results/$file.log" $code $((SECONDS - start))
}

wine_started=
start_wine() {  # the prefix's server, once, for the first tier that needs Wine
  [ -z "$wine_started" ] || return 0
  wine_started=yes
  orlin_wine_start || { echo "FAILED: the Wine server of $WINEPREFIX could not be started"; exit 1; }
  windows_results=$(winepath -w "$PWD/$results" 2>"$results/winepath.log") ||
    echo "FAILED: winepath does not run: $(tail -n 1 "$results/winepath.log")"
}

# run_tier INDEX: runs one tier and counts it.
run_tier() {
  local name=${tiers[$1]} base=${bases[$1]} arch=${tier_arches[$1]}
  if [ "$arch" = x86 ] && [ "$base" != shipped-files ] && ! orlin_x86_runs; then
    skipped=$((skipped + 1)); skipped_names+=("$name"); return
  fi
  if [ "$arch" = arm64 ] && [ "$base" != shipped-files ] && [ "${ORLIN_ARM64:-}" != yes ] && ! orlin_arm64_runs; then
    skipped=$((skipped + 1)); echo "$name: not run (arm64: $ORLIN_ARM64_WHY)"; return
  fi
  case $name in
    "native core_tests") report_folder=$results/ test_program "$name" build/native/bin/core_tests ;;
    win32\ * | win64\ *)
      start_wine
      report_folder="$windows_results\\" test_program "$name" timeout 600 wine "build/${name%% *}/bin/$base.exe" ;;
    shipped-files*) check "$name" scripts/check-shipped.sh "$arch" ;;
    arm64-*) check "$name" bash "$(check_script "$base" "$arch")" ;;  # its own prefix and server
    *)
      # Only the Wine lane starts the prefix's server: starting it waits for, then ends, a server
      # that is still running, which would end a Wine tier's programs under it.
      if uses_wine "$1"; then start_wine; fi
      check "$name" bash "$(check_script "$base" "$arch")" $arch ;;
  esac
}
# A check that makes a prefix of its own (ORLIN_WINEPREFIX) starts no Wine of the run's prefix.
uses_wine() {
  local script
  script=$(check_script "${bases[$1]}" "${tier_arches[$1]}")
  grep -q 'wine-env.sh' "$script" && ! grep -q 'ORLIN_WINEPREFIX=' "$script"
}
check_script() { case $2 in "" | arm64) echo "scripts/tests.d/$1.sh" ;; *) echo "scripts/tests.d/$1.arch.sh" ;; esac; }

# The tiers that start no Wine of the prefix (native tests, fuzzing, files read as files, the ARM64
# run and the 64-bit-only set-up, each in a prefix of its own) run in a lane of their own beside the
# Wine tiers, which share the prefix and its virtual printer and so run one by one.
# The lane's lines follow the Wine tiers' lines.
native_lane=() wine_lane=()
for i in "${chosen[@]}"; do
  case ${tiers[$i]} in
    win32\ * | win64\ *) wine_lane+=("$i") ;;
    "native core_tests" | shipped-files*) native_lane+=("$i") ;;
    *) if uses_wine "$i"; then wine_lane+=("$i"); else native_lane+=("$i"); fi ;;
  esac
done
lane=
if [ ${#native_lane[@]} -gt 0 ]; then
  (
    for i in "${native_lane[@]}"; do run_tier "$i"; done
    echo "$passed $failed $skipped" >"$results/native-lane.counts"
  ) >"$results/native-lane.out" 2>&1 </dev/null &
  lane=$!
fi
for i in "${wine_lane[@]}"; do run_tier "$i"; done
if [ -n "$lane" ]; then
  wait "$lane"
  lane=
  cat "$results/native-lane.out"
  read -r lane_passed lane_failed lane_skipped <"$results/native-lane.counts" 2>/dev/null ||
    { lane_passed=0 lane_failed=1 lane_skipped=0; echo "FAILED: the native lane left no counts"; }
  passed=$((passed + lane_passed)) failed=$((failed + lane_failed)) skipped=$((skipped + lane_skipped))
fi

if [ ${#skipped_names[@]} -gt 0 ]; then
  skipped_list=$(printf '%s, ' "${skipped_names[@]}")
  echo "x86 not run here ($ORLIN_X86_WHY), its test programs not built; skipped: ${skipped_list%, }"
fi
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
