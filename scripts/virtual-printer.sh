#!/usr/bin/env bash
# Creates "Orlin Virtual Printer" in the project's Wine prefix (again harmlessly when it exists):
# Wine's spooler pipes each of its jobs to scripts/capture-job.sh, which keeps every job in its own
# numbered file in build/virtual-printer/jobs/. The small installer is compiled here directly, as
# this runs before the project's own build.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
root=$(pwd)
out=build/virtual-printer
jobs=$out/jobs
exe=$out/orlinprinter.exe
sources=(tools/host/virtual_printer.cpp tools/host/orlinprinter_main.cpp tools/host/virtual_printer.h)
mkdir -p "$jobs"

stale=0
[ -f "$exe" ] || stale=1
for s in "${sources[@]}"; do [ "$s" -nt "$exe" ] && stale=1; done
if [ $stale = 1 ]; then
  x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -municode -static -DUNICODE -D_UNICODE -Itools \
    tools/host/virtual_printer.cpp tools/host/orlinprinter_main.cpp -lwinspool -o "$exe"
fi

command="/bin/sh '$root/scripts/capture-job.sh' '$root/$jobs'"
wine "$exe" install "$command" "$(winepath -w "$root/$jobs")" </dev/null
