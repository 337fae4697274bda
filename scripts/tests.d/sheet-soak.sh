#!/usr/bin/env bash
# A short leak soak, x86 and x64: the document sheet opened and closed 50 times in orlinhost, a
# plug-in heap per sheet; GDI and USER objects and private bytes must stay flat after the warm-up.
# The 500-sheet figures come from `orlinhost soak` itself (docs/RELIABILITY.md).
set -u
cd "$(dirname "$0")/../.."
. scripts/wine-env.sh
sheets=${SOAK_SHEETS:-50}
status=0
for arch in x86 x64; do
  log=$(mktemp)
  if wine "dist/$arch/orlinhost.exe" soak --sheets "$sheets" </dev/null >"$log" 2>&1; then
    echo "$arch: $(grep -E '^  sheets ' "$log" | sed 's/^ *//')"
  else
    echo "$arch: FAILED"; cat "$log"; status=1
  fi
  rm -f "$log"
done
exit $status
