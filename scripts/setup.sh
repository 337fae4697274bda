#!/usr/bin/env bash
# Installs every Debian package the project needs and prepares the headless Wine prefix inside the
# build tree. Safe to run again: it only installs what is missing. 32-bit Wine is installed only
# where this machine runs 32-bit programs (elsewhere its package scripts fail with Exec format error).
# `setup.sh packages` installs the packages only and `setup.sh rest` makes the rest, so that
# scripts/prepare.sh can build while the rest is made.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/steps.sh"
. "$here/scripts/wine-env.sh"
stage=${1:-all}
case $stage in all | packages | rest) ;; *) echo "usage: setup.sh [packages | rest]" >&2; exit 2 ;; esac

packages=(
  cmake make g++ clang libclang-rt-14-dev googletest
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 xvfb xauth imagemagick python3 clang-format git
  clang-16 lld-16 llvm-16 dpkg-dev
  fonts-ipafont-gothic fonts-wqy-microhei  # the Japanese, Chinese and Korean pages under Wine
)
# A try at 32-bit Wine that failed (a mirror in the middle of a sync) is not made again by every
# run: for six hours the set-up goes on without it at once; removing the marker tries again.
wine32_failed=$here/build/.wine32-failed
x86=no

# A mirror in the middle of a sync serves an index that does not match its release file, and
# apt-get update then fails for that index alone: it is tried again, three times at most, and the
# install goes on with the lists it could read.
update_lists() {
  local attempt
  for attempt in 1 2 3; do
    as_root apt-get update && return 0
    [ $attempt = 3 ] || sleep 10
  done
  echo "apt-get update failed three times; installing from the package lists it could read"
}
install_packages() {
  if [ $x86 = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386 || return
  fi
  update_lists
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$@"
}
# Without 32-bit Wine the x86 tiers cannot run, but everything else can: unless ORLIN_X86=yes
# insists, the set-up goes on without it and the tests report those tiers as skipped, saying why.
without_wine32() {
  local p rest=()
  for p in "$@"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
  [ ${#rest[@]} -eq 0 ] || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${rest[@]}"
}

install_missing_packages() {
  if [ "${ORLIN_X86:-}" = no ]; then
    :  # the 64-bit-only path: 32-bit Wine is not needed
  elif orlin_kernel_runs_x86; then
    x86=yes
    if [ "${ORLIN_X86:-}" != yes ] && [ -n "$(find "$wine32_failed" -mmin -360 2>/dev/null)" ]; then
      echo "setup: 32-bit Wine could not be installed at $(date -r "$wine32_failed" +%H:%M); not tried again for" \
        "six hours (remove $wine32_failed to try now)"
    else
      packages+=(wine32:i386)
    fi
  elif [ "${ORLIN_X86:-}" = yes ]; then
    echo "ORLIN_X86=yes, but this machine runs no 32-bit programs (the kernel refuses i386 executables)" >&2
    exit 1
  fi

  local p missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  orlin_step "setup: installing ${#missing[@]} Debian packages" setup-packages install_packages "${missing[@]}" &&
    return 0
  [ $x86 = yes ] && [ "${ORLIN_X86:-}" != yes ] && [[ " ${missing[*]} " == *" wine32:i386 "* ]] || exit 1
  mkdir -p "$here/build" && touch "$wine32_failed"
  orlin_step "setup: installing them without 32-bit Wine (x86 will not run)" setup-packages-x64 \
    without_wine32 "${missing[@]}" || exit 1
}

# ARM64: the sysroot the build needs, and Debian's arm64 Wine that runs the DLL, each made once into
# build/. Without the arm64 Wine everything else still runs (the ARM64 run is skipped, saying why)
# unless ORLIN_ARM64=yes insists.
make_arm64() {
  orlin_step "setup: ARM64 sysroot (mingw-w64 headers and C runtime)" setup-arm64-sysroot \
    "$here/scripts/arm64-sysroot.sh" || return 1
  if [ "${ORLIN_ARM64:-}" = no ]; then
    echo "setup: arm64 Wine not made (ORLIN_ARM64=no)"
  elif ! orlin_step "setup: arm64 Wine (Debian's packages, unpacked) and its prefix" setup-arm64-wine \
    "$here/scripts/arm64-wine.sh"; then
    [ "${ORLIN_ARM64:-}" != yes ] || return 1
    echo "setup: going on without the arm64 Wine: the ARM64 DLL is built and checked, not run"
  fi
}

# The Wine prefix is made while the ARM64 steps run: it mostly waits on Wine's start-up, they on the
# compiler and the network. Its lines follow theirs.
make_the_rest() {
  mkdir -p "$here/build"
  local prefix_lines prefix_pid prefix_status=0 arm64_status=0
  prefix_lines=$(mktemp "$here/build/.wine-prefix-lines.XXXXXX")
  "$here/scripts/wine-prefix.sh" >"$prefix_lines" 2>&1 </dev/null &
  prefix_pid=$!
  make_arm64 || arm64_status=$?
  wait "$prefix_pid" || prefix_status=$?
  cat "$prefix_lines"; rm -f "$prefix_lines"
  [ $prefix_status = 0 ] && [ $arm64_status = 0 ] || exit 1
}

if [ "$stage" != rest ]; then
  install_missing_packages
  orlin_x86_runs || echo "setup: x86 programs will not run here: $ORLIN_X86_WHY"
fi
[ "$stage" = packages ] || make_the_rest
