#!/usr/bin/env bash
# A short leak soak for one architecture (x86 or x64): the document sheet opened and closed 50 times
# in orlinhost, a plug-in heap per sheet; GDI and USER objects and private bytes must stay flat
# after the warm-up. The 500-sheet figures come from `orlinhost soak` itself (docs/RELIABILITY.md).
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
arch=$1
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if wine "dist/$arch/orlinhost.exe" soak --sheets "${SOAK_SHEETS:-50}" </dev/null >"$log" 2>&1; then
  echo "$arch: $(grep -E '^  sheets ' "$log" | sed 's/^ *//')"
else
  echo "$arch: FAILED"; cat "$log"; exit 1
fi
