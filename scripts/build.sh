#!/usr/bin/env bash
# Builds the three presets and leaves the shipped files in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in native win32 win64; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
mkdir -p dist
[ -f build/native/bin/jobview ] && cp -f build/native/bin/jobview dist/jobview
[ -f package/orlinui.ini ] && cp -f package/orlinui.ini dist/orlinui.ini
exit 0
