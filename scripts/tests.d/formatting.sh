#!/usr/bin/env bash
# Every tracked C++ source is formatted as the project's .clang-format says (check only; to mend,
# run clang-format -i on the files it names).
set -u
cd "$(dirname "$0")/../.."
files=$(git ls-files '*.cpp' '*.h') || { echo "not a git checkout: the tracked sources are unknown"; exit 1; }
# shellcheck disable=SC2086
clang-format --dry-run -Werror $files 2>&1 | head -40
status=${PIPESTATUS[0]}
[ "$status" = 0 ] && echo "$(wc -w <<<"$files") C++ sources formatted as .clang-format says"
exit "$status"
