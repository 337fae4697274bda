#!/usr/bin/env bash
# Fetches Debian's arm64 Wine once into build/arm64-wine and makes its headless prefix
# build/wine-arm64, for running the ARM64 plug-in (scripts/arm64-env.sh says how). The packages are
# downloaded with our own apt configuration (scripts/arm64-apt.sh) and unpacked, never installed;
# qemu-aarch64-static is taken from Debian's qemu-user-static the same way, as installing that
# package would register binfmt_misc handlers on the machine. Markers are written last: a tree or
# prefix whose making was cut short is made again. Only a prefix marked as ours is ever deleted.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/scripts/arm64-apt.sh"
. "$here/scripts/arm64-env.sh"
tree=$orlin_arm64_tree
prefix=$orlin_arm64_prefix

if [ ! -f "$tree/.orlin-made" ]; then
  rm -rf "$tree"
  mkdir -p "$tree" "$orlin_apt_root/host"
  orlin_apt_update
  orlin_apt install --download-only -y --no-install-recommends wine64
  for deb in "$orlin_apt_root"/cache/archives/*_arm64.deb "$orlin_apt_root"/cache/archives/*_all.deb; do
    [ -f "$deb" ] && dpkg-deb -x "$deb" "$tree"
  done
  # The machine's own lists, amd64: downloaded only.
  rm -f "$orlin_apt_root"/host/qemu-user-static_*.deb
  (cd "$orlin_apt_root/host" && apt-get -q -o APT::Sandbox::User=root download qemu-user-static)
  dpkg-deb --fsys-tarfile "$orlin_apt_root"/host/qemu-user-static_*.deb |
    tar -x -O ./usr/bin/qemu-aarch64-static >"$tree/qemu-aarch64-static"
  chmod +x "$tree/qemu-aarch64-static"

  # Wine starts each new process, and its server, by these two names in its own folder: each starts
  # its aarch64 program under qemu, with the tree as the root of the programs' libraries. Debian's
  # wineserver script would start the machine's amd64 server, which serves no aarch64 client.
  wine=$tree/usr/lib/wine
  mv "$wine/wine64" "$wine/wine64.aarch64"
  mv "$wine/wineserver" "$wine/wineserver.debian"
  cat >"$wine/wine64" <<'SCRIPT'
#!/bin/sh
# Wine's loader under qemu; its name (-0) is what Wine starts again for each new process.
tree=$(cd "$(dirname "$0")/../../.." && pwd)
QEMU_LD_PREFIX=$tree exec "$tree/qemu-aarch64-static" -0 "$0" "$tree/usr/lib/wine/wine64.aarch64" "$@"
SCRIPT
  cat >"$wine/wineserver" <<'SCRIPT'
#!/bin/sh
tree=$(cd "$(dirname "$0")/../../.." && pwd)
QEMU_LD_PREFIX=$tree exec "$tree/qemu-aarch64-static" "$tree/usr/lib/wine/wineserver64" "$@"
SCRIPT
  chmod +x "$wine/wine64" "$wine/wineserver"
  rm -f "$orlin_apt_root"/cache/archives/*.deb "$orlin_apt_root"/host/*.deb
  date -u +%FT%TZ >"$tree/.orlin-made"
fi

marker=$prefix/.orlin-arches
if [ -d "$prefix" ] && [ "$(cat "$marker" 2>/dev/null)" != arm64 ]; then
  if [ -n "$(ls -A "$prefix")" ] && [ ! -f "$marker" ]; then
    echo "$prefix is not empty and was not made by this project (it has no .orlin-arches marker); left as it is"
    exit 1
  fi
  orlin_arm64_end
  rm -rf "$prefix"
fi
if [ ! -f "$marker" ]; then
  mkdir -p "$prefix"
  echo unfinished >"$marker"
  # The services wineboot leaves running hold no output of ours, so no pipe waits for them.
  timeout 300 bash -c '. "$1/scripts/arm64-env.sh" && orlin_arm64_wine wineboot -i' _ "$here" </dev/null >/dev/null 2>&1
  orlin_arm64_wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
  orlin_arm64_end
  [ -f "$prefix/system.reg" ]
  echo arm64 >"$marker"
fi
