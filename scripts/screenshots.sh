#!/usr/bin/env bash
# Regenerates the README's screenshots in docs/screenshots/: orlinhost runs docs/screenshots.scenario
# with --screenshots under Xvfb, in the display prefix build/wine-display (Wine's default graphics
# driver; the tests keep the headless prefix). Needs `make` (and the setup) first.
set -euo pipefail
cd "$(dirname "$0")/.."
export ORLIN_WINEPREFIX="$PWD/build/wine-display" ORLIN_DISPLAY=1
out=build/screenshots
rm -rf "$out"; mkdir -p "$out" docs/screenshots

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  scripts/wine-prefix.sh >/dev/null
  . scripts/wine-env.sh
  wine dist/x64/orlinhost.exe run docs/screenshots.scenario --printer "Orlin Virtual Printer" \
    --screenshots "$(winepath -w build/screenshots)" </dev/null >build/screenshots/run.log 2>&1 \
    || { cat build/screenshots/run.log; exit 1; }
'
# The display prefix's wineserver ends by itself when Xvfb and its last process have gone.
# Each window as it first appeared (a page shown again gets a -2, -3... copy).
for png in "$out"/*.png; do
  case "$png" in *-[0-9].png) continue ;; esac
  cp "$png" docs/screenshots/
done
ls docs/screenshots
