#!/usr/bin/env bash
# The set-up and the four builds that `make test`, `make demo` and `make fuzz` need, side by side
# where they can be: once the packages are in, the rest of the set-up (the ARM64 sysroot, arm64 Wine
# and the Wine prefix, which wait mostly on the network, configure scripts and Wine's start-up) is
# made while the native, x86 and x64 presets build, and the ARM64 preset builds once its sysroot is
# there. The set-up's lines follow the three builds'; every step keeps its log in build/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh packages
mkdir -p build
lines=$(mktemp build/.setup-lines.XXXXXX)
# In a process group of its own, so that a failed or interrupted build ends it too (its steps keep
# what they finished: each writes its marker last); bounded like a set-up on a slow mirror.
set -m
timeout --foreground 3600 scripts/setup.sh rest >"$lines" 2>&1 </dev/null &
rest_pid=$!
set +m
trap 'kill -TERM -- -"$rest_pid" 2>/dev/null; rm -f "$lines"' EXIT
scripts/build.sh native win32 win64
rest_status=0
wait "$rest_pid" || rest_status=$?
trap - EXIT
cat "$lines"; rm -f "$lines"
[ $rest_status != 124 ] || echo "setup: the rest of the set-up did not end within an hour; it was stopped"
[ $rest_status = 0 ] || exit 1
scripts/build.sh arm64
