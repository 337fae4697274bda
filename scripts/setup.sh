#!/usr/bin/env bash
# Installs every Debian package the project needs and prepares the headless Wine prefix inside the
# build tree. Safe to run again: it only installs what is missing.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
packages=(
  cmake make g++ clang libclang-rt-14-dev googletest
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 wine32:i386 xvfb xauth imagemagick
)

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_ dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  sudo_ apt-get update -qq
  sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif [ -n "${need_update:-}" ]; then
  sudo_ apt-get update -qq
fi

"$here/scripts/wine-prefix.sh"
