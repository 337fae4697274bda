#!/usr/bin/env bash
# Makes the ARM64 Windows sysroot the arm64 preset builds against, once, into build/arm64-sysroot:
# the mingw-w64 headers and C runtime built for aarch64-w64-mingw32 with Debian's clang-16 from
# Debian's own mingw-w64 source package (the version the x86 and x64 builds use), and __chkstk,
# the one compiler builtin the DLL needs that no Debian package carries for this target.
# The marker is written last: a sysroot whose making was cut short is made again.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/arm64-apt.sh"
sysroot=$here/build/arm64-sysroot
marker=$sysroot/.orlin-made
work=$here/build/arm64-src

[ -f "$marker" ] && exit 0
rm -rf "$sysroot" "$work"
mkdir -p "$sysroot" "$work"
orlin_apt_update
(cd "$work" && orlin_apt source --download-only mingw-w64)
dpkg-source -x "$work"/mingw-w64_*.dsc "$work/mingw-w64"

target=aarch64-w64-mingw32
jobs=$(nproc)
# Only what the DLL and its ARM64 check link (their libraries and the compiler's defaults), not the
# 400 import libraries of the whole runtime: the set-up's slowest step takes half the time.
runtime=(crt2.o crt2u.o dllcrt2.o crtbegin.o crtend.o libmingw32.a libmingwex.a libmoldname.a libmsvcrt.a
  libkernel32.a libuser32.a libgdi32.a libadvapi32.a libshell32.a libcomctl32.a libcomdlg32.a
  libwinspool.a libole32.a liboleaut32.a libuuid.a)
mkdir -p "$work/headers" "$work/crt"
(cd "$work/headers" && "$work/mingw-w64/mingw-w64-headers/configure" --prefix="$sysroot" --host=$target \
  --with-default-msvcrt=msvcrt && make install)
(cd "$work/crt" && "$work/mingw-w64/mingw-w64-crt/configure" --prefix="$sysroot" --host=$target \
  --with-default-msvcrt=msvcrt --disable-lib32 --disable-lib64 --enable-libarm64 \
  CC="clang-16 --target=$target --sysroot=$sysroot" CFLAGS=-O2 \
  AR=llvm-ar-16 RANLIB=llvm-ranlib-16 DLLTOOL=llvm-dlltool-16 &&
  mkdir -p libarm64 && make -j"$jobs" $(printf 'libarm64/%s ' "${runtime[@]}") &&
  mkdir -p "$sysroot/lib" && cp $(printf 'libarm64/%s ' "${runtime[@]}") "$sysroot/lib/")

# Functions whose frame is a page or more probe it page by page first: x15 holds the size in
# 16-byte units; only x16 and x17 may change.
cat >"$work/chkstk.S" <<'EOF'
    .text
    .globl __chkstk
    .p2align 2
__chkstk:
    lsl x16, x15, #4
    mov x17, sp
1:  sub x17, x17, #4096
    subs x16, x16, #4096
    ldr xzr, [x17]
    b.gt 1b
    ret
EOF
clang-16 --target=$target -c "$work/chkstk.S" -o "$work/chkstk.o"
# Under the names the compiler driver links for a MinGW target, as GCC's own runtime carries it
# there; no unwinder beside it, as nothing the DLL links unwinds (built without exceptions).
llvm-ar-16 rcs "$sysroot/lib/libgcc.a" "$work/chkstk.o"
llvm-ar-16 rcs "$sysroot/lib/libgcc_eh.a"

rm -rf "$work"
date -u +%FT%TZ >"$marker"
