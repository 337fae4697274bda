#!/usr/bin/env bash
# Creates "Orlin Virtual Printer" in the current Wine prefix (again harmlessly when it exists):
# Wine's spooler pipes each of its jobs to scripts/capture-job.sh, which keeps every job in its own
# numbered file in the prefix's jobs folder, virtual-printer/jobs beside the prefix (build/virtual-
# printer/jobs for the tests' prefix). The small installer is compiled here directly, as this runs
# before the project's own build.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
root=$(pwd)
out=build/virtual-printer
jobs=$(orlin_jobs_folder)
exe=$out/orlinprinter.exe
sources=(tools/emulation/virtual_printer.cpp tools/host/printer/orlinprinter_main.cpp tools/emulation/virtual_printer.h)
mkdir -p "$out" "$jobs"

stale=0
[ -f "$exe" ] || stale=1
for s in "${sources[@]}"; do [ "$s" -nt "$exe" ] && stale=1; done
if [ $stale = 1 ]; then
  x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -municode -static -DUNICODE -D_UNICODE -Itools \
    tools/emulation/virtual_printer.cpp tools/host/printer/orlinprinter_main.cpp -lwinspool -o "$exe"
fi

command="/bin/sh '$root/scripts/capture-job.sh' '$jobs'"
jobs_windows=$(winepath -w "$jobs")
[ -n "$jobs_windows" ] || { echo "winepath gave no Windows path for $jobs" >&2; exit 1; }
timeout 120 wine "$exe" install "$command" "$jobs_windows" </dev/null
