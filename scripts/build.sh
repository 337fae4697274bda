#!/usr/bin/env bash
# Builds the four presets (or those named) and leaves the shipped files in dist/. x86 and ARM64 are
# built where they cannot run too (their shipped files are still checked as files and shipped); x86
# then without its test programs, which nothing would run. Each preset's output is kept in
# build/logs/build-PRESET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/steps.sh
. scripts/wine-env.sh
orlin_x86_runs || true  # decided once for every preset

# What a preset builds: everything, or for x86 where it cannot run what dist/ ships and the virtual
# printer's installer.
targets() {
  if [ "$1" = win32 ] && ! orlin_x86_runs; then echo "--target orlinui orlinhost orlinprinter"; fi
}
build_preset() {
  if [ ! -f "build/$1/CMakeCache.txt" ]; then cmake --preset "$1" || return; fi
  # shellcheck disable=SC2046
  cmake --build --preset "$1" $(targets "$1")
}
presets=("$@")
[ $# -gt 0 ] || presets=(native win32 win64 arm64)
for preset in "${presets[@]}"; do
  label="build: $preset"
  [ -n "$(targets "$preset")" ] && label="$label (no test programs: x86 does not run here)"
  orlin_step "$label" "build-$preset" build_preset "$preset"
done
mkdir -p dist
[ -f build/native/bin/jobview ] && cp -f build/native/bin/jobview dist/jobview
[ -f package/orlinui.ini ] && cp -f package/orlinui.ini dist/orlinui.ini
exit 0
