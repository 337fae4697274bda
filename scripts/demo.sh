#!/usr/bin/env bash
# The main job: the plug-in loaded as the driver's UI core loads it, both architectures.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
for arch in x86 x64; do
  echo "== orlinhost info ($arch) =="
  wine "dist/$arch/orlinhost.exe" info </dev/null
  echo
done
