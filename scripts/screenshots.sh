#!/usr/bin/env bash
# Regenerates the README's screenshots in docs/screenshots/: orlinhost runs docs/screenshots.scenario
# with --screenshots under Xvfb, in the display prefix build/wine-display (Wine's default graphics
# driver; the tests keep the headless prefix). Needs `make` (and the setup) first.
#
# scripts/screenshots.sh --language TAG... takes instead, for each language, the Ink Level page and
# the Alignment Adjustment dialog (docs/screenshots-language.scenario) as TAG-ink-level.png and
# TAG-alignment-adjustment.png.
set -euo pipefail
cd "$(dirname "$0")/.."
export ORLIN_WINEPREFIX="$PWD/build/wine-display" ORLIN_DISPLAY=1
out=build/screenshots
rm -rf "$out"; mkdir -p "$out" docs/screenshots

if [ "${1:-}" = --language ]; then
  shift
  [ $# -gt 0 ] || { echo "usage: scripts/screenshots.sh [--language TAG...]" >&2; exit 2; }
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    scripts/wine-prefix.sh >/dev/null
    . scripts/wine-env.sh
    for tag in "$@"; do
      mkdir -p "build/screenshots/$tag"
      wine dist/x64/orlinhost.exe run docs/screenshots-language.scenario --printer "Orlin Virtual Printer" \
        --language "$tag" --screenshots "$(winepath -w "build/screenshots/$tag")" </dev/null \
        >"build/screenshots/$tag/run.log" 2>&1 || { cat "build/screenshots/$tag/run.log"; exit 1; }
    done
  ' screenshots "$@"
  # The captions, and so the file names, are in the language: the pictures are known by their order,
  # the second page shown and the second dialog.
  for tag in "$@"; do
    cp "$(ls -tr "$out/$tag"/page-*.png | sed -n 2p)" "docs/screenshots/$tag-ink-level.png"
    cp "$(ls -tr "$out/$tag"/dialog-*.png | sed -n 2p)" "docs/screenshots/$tag-alignment-adjustment.png"
  done
  ls docs/screenshots
  exit 0
fi

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
