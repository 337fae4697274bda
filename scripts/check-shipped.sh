#!/usr/bin/env bash
# What dist/ ships for one architecture, read as files, so that it holds for x86 also where x86
# programs cannot run: the DLL is built for its architecture, exports exactly DllGetClassObject and
# DllCanUnloadNow and imports only Windows system DLLs; orlinhost.exe is built for the same
# architecture and imports only system DLLs too. Usage: check-shipped.sh x86|x64
set -u
cd "$(dirname "$0")/.."
case ${1:-} in x86) format=pei-i386 ;; x64) format=pei-x86-64 ;; *) echo "architecture x86 or x64, not ${1:-}"; exit 2 ;; esac
system='KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|WINSPOOL\.DRV|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|api-ms-win-[a-z0-9-]+'

# dump FILE [MORE]: its headers, once it is built for the architecture and imports only system DLLs
# (or MORE, a pattern of other system DLLs it may import).
dump() {
  local dump bad system="^($system${2:+|$2})(\.dll)?\$"
  dump=$(x86_64-w64-mingw32-objdump -p "$1") || { echo "cannot read $1"; return 1; }
  if ! printf '%s\n' "$dump" | grep -q "file format $format\$"; then
    echo "$1: not built for $arch: $(printf '%s\n' "$dump" | grep -m1 'file format')"; return 1
  fi
  bad=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | grep -viE "$system" || true)
  [ -z "$bad" ] || { echo "$1: imports non-system DLLs: $bad"; return 1; }
  printf '%s\n' "$dump"
}
arch=$1
dll=dist/$arch/orlinui.dll host=dist/$arch/orlinhost.exe
dll_dump=$(dump "$dll") || { echo "$dll_dump"; exit 1; }
exports=$(printf '%s\n' "$dll_dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | grep -oE '\] [A-Za-z_@0-9]+' | cut -c3- | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
  echo "$dll: unexpected exports: $exports"; exit 1
fi
host_dump=$(dump "$host" gdiplus) || { echo "$host_dump"; exit 1; }
echo "$dll: $arch, exports and imports as shipped; $host: $arch, system DLLs only"
