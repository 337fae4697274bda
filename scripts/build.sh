#!/usr/bin/env bash
# Builds the four presets (x86 and ARM64 too where they cannot run: their DLLs are still checked and
# shipped) and
# leaves the shipped files in dist/. Each preset's output is kept in build/logs/build-PRESET.log.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/steps.sh

build_preset() {
  if [ ! -f "build/$1/CMakeCache.txt" ]; then cmake --preset "$1" || return; fi
  cmake --build --preset "$1"
}
for preset in native win32 win64 arm64; do
  orlin_step "build: $preset" "build-$preset" build_preset "$preset"
done
mkdir -p dist
[ -f build/native/bin/jobview ] && cp -f build/native/bin/jobview dist/jobview
[ -f package/orlinui.ini ] && cp -f package/orlinui.ini dist/orlinui.ini
exit 0
