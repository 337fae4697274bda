#!/usr/bin/env bash
# Performance figures, measured side by side in one run (not part of make test: benchmarks are
# never timed assertions): the DLL sizes of both architectures; the plug-in's start-up per call
# (load, class factory, object, devmode defaults) against a bare load and free of the same DLL;
# each job sender's time per KiB on Wine's real spooler against one WritePrinter of the same bytes,
# and each file sender against a bare loop of one-byte WritePrinter calls over them; the rise of the
# process's private bytes while a 64 MiB driver file is sent (about a minute per architecture); the
# pages made and drawn in English, Japanese and the pseudo-language, each against English.
# Usage: scripts/benchmark.sh [build-dir-prefix], default build/ (build/win32, build/win64).
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-build/}
. scripts/wine-env.sh
scripts/virtual-printer.sh >/dev/null
arches=(win64)
orlin_x86_runs && arches=(win32 win64) || echo "x86 not measured: $ORLIN_X86_WHY"
for arch in win32 win64; do  # both built (and sized) everywhere
  [ -f "$prefix$arch/CMakeCache.txt" ] || cmake --preset "$arch" -B "$prefix$arch" >/dev/null
  log=$(mktemp)
  cmake --build "$prefix$arch" --target orlinui plugin_load_benchmark job_sender_benchmark \
    print_ticket_benchmark >"$log" 2>&1 \
    || { cat "$log"; exit 1; }
  rm -f "$log"
done
echo "DLL sizes (stripped):"
for arch in win32 win64; do
  dll=$prefix$arch/bin/orlinui.dll
  printf '  %-5s %8d bytes  %s\n' "$arch" "$(stat -c %s "$dll")" "$dll"
done
for arch in "${arches[@]}"; do
  echo
  wine "$prefix$arch/bin/plugin_load_benchmark.exe" </dev/null
  wine "$prefix$arch/bin/plugin_load_benchmark.exe" --pages </dev/null
  wine "$prefix$arch/bin/job_sender_benchmark.exe" </dev/null
  wine "$prefix$arch/bin/print_ticket_benchmark.exe" </dev/null
done
