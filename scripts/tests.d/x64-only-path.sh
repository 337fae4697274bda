#!/usr/bin/env bash
# The set-up as it runs on a machine that runs no 32-bit programs, forced with ORLIN_X86=no in a new
# prefix of its own (build/x64-only): the prefix is made, the virtual printer installed with its jobs
# folder, an x64 test program writes its report and `orlinhost info` runs in x64, while the x86
# host cannot start there. The same prefix, unmarked as the scripts before the marker left it and
# with a persistent server alive, is marked and kept, within the set-up's bound; a prefix of the
# user's own is never touched; a check without its jobs folder refuses to count.
set -u
cd "$(dirname "$0")/../.."
export ORLIN_X86=no ORLIN_WINEPREFIX=$PWD/build/x64-only/wine
unset ORLIN_X86_RUNS ORLIN_X86_WHY ORLIN_X86_HIDDEN
. scripts/wine-env.sh
fail() { echo "FAIL: $*"; exit 1; }
trap orlin_wine_end EXIT
orlin_wine_end
rm -rf build/x64-only
mkdir -p build/x64-only

start=$SECONDS
scripts/wine-prefix.sh || fail "the prefix was not made"
made=$((SECONDS - start))
[ "$(cat "$WINEPREFIX/.orlin-arches")" = x64 ] || fail "the prefix is not marked as made for x64 only"

jobs=$(orlin_jobs_folder)
[ -d "$jobs" ] || fail "no jobs folder $jobs"
folder=$(wine build/virtual-printer/orlinprinter.exe folder </dev/null | tr -d '\r')
[ -n "$folder" ] && [ "$folder" = "$(winepath -w "$jobs")" ] ||
  fail "the virtual printer keeps its jobs in \"$folder\", not in $jobs"

xml=build/x64-only/core_tests.xml
wine build/win64/bin/core_tests.exe --gtest_output="xml:$(winepath -w "$PWD/$xml")" \
  >build/x64-only/core_tests.log 2>&1 </dev/null
[ -s "$xml" ] || fail "x64 core_tests wrote no report: $(tail -n 3 build/x64-only/core_tests.log)"
grep -q '<testsuites[^>]* failures="0"' "$xml" || fail "x64 core_tests failed: see build/x64-only/core_tests.log"

info=$(wine dist/x64/orlinhost.exe info </dev/null 2>&1) || fail "orlinhost info x64: exit $?: $info"
grep -q '(64-bit host)' <<<"$info" || fail "orlinhost info x64 said: $info"

if [ -n "${ORLIN_X86_HIDE:-}" ]; then
  ! timeout 60 wine dist/x86/orlinhost.exe info </dev/null 2>&1 | grep -q '32-bit host' ||
    fail "the x86 host ran although 32-bit Wine was hidden"
  x86="the x86 host cannot start here"
elif [ ! -x "$ORLIN_WINE32" ]; then
  x86="no 32-bit Wine is installed here"
else
  x86="32-bit Wine could not be hidden (no mount namespace), so Wine's own 32-bit part still ran"
fi
# A prefix of an earlier version of the scripts: no marker, and the persistent server a killed run
# left behind, which once made the set-up wait for ever.
rm "$WINEPREFIX/.orlin-arches"
echo kept >"$WINEPREFIX/kept-by-the-set-up"
wineserver -p >/dev/null 2>&1 </dev/null &
sleep 1
start=$SECONDS
timeout 150 scripts/wine-prefix.sh >build/x64-only/again.log 2>&1 ||
  fail "the set-up of an unmarked prefix with a persistent server: exit $?: $(tail -n 5 build/x64-only/again.log)"
again=$((SECONDS - start))
[ "$(cat "$WINEPREFIX/.orlin-arches")" = x64 ] || fail "the earlier prefix was not marked for what it holds"
[ -f "$WINEPREFIX/kept-by-the-set-up" ] || fail "the earlier prefix was made again instead of being marked"

# A prefix of the user's own, named in ORLIN_WINEPREFIX: refused, and every file of it kept.
own=build/x64-only/users-own/wine
mkdir -p "$own"
echo 'WINE REGISTRY Version 2' >"$own/system.reg"
echo 'my notes' >"$own/mine.txt"
out=$(ORLIN_WINEPREFIX=$PWD/$own scripts/wine-prefix.sh 2>&1) && fail "a prefix of the user's own was taken: $out"
grep -q 'was not made by this project' <<<"$out" || fail "no clear refusal for the user's prefix: $out"
[ "$(cat "$own/mine.txt")" = 'my notes' ] && [ "$(ls -A "$own" | wc -l)" = 2 ] ||
  fail "the user's prefix was changed: $(ls -A "$own")"
# The scenario check with a prefix whose virtual printer has no jobs folder counts nothing: it fails.
out=$(ORLIN_WINEPREFIX=$PWD/$own bash scripts/tests.d/scenario-language.sh 2>&1) &&
  fail "the scenario check ran without a jobs folder: $out"
grep -q 'has no jobs folder' <<<"$out" || fail "the scenario check said: $out"

echo "x64-only prefix made in ${made} s, virtual printer with its jobs folder, x64 core_tests reported,"
echo "orlinhost info x64 ran; $x86; unmarked with a persistent server: marked and kept in ${again} s;"
echo "a prefix of the user's own refused and kept"
