#!/usr/bin/env bash
# The raw job sender's speed on Wine's real spooler, both architectures (not part of make test).
# Usage: scripts/benchmark.sh [build-dir-prefix], default build/ (build/win32, build/win64).
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=${1:-build/}
. scripts/wine-env.sh
scripts/virtual-printer.sh >/dev/null
for arch in win32 win64; do
  [ -f "$prefix$arch/CMakeCache.txt" ] || cmake --preset "$arch" -B "$prefix$arch" >/dev/null
  cmake --build "$prefix$arch" --target job_sender_benchmark >/dev/null
  wine "$prefix$arch/bin/job_sender_benchmark.exe" </dev/null
done
