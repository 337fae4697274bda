#!/usr/bin/env bash
# What dist/ ships for one architecture, read as files with LLVM's objdump, which reads the x86, x64
# and ARM64 files alike, so it holds also where that architecture's programs cannot run. The DLL is
# built for its architecture, exports exactly DllGetClassObject and DllCanUnloadNow (and no unnamed
# export besides), imports only Windows system DLLs, carries its manifest and stays within the size
# limit; orlinhost.exe, where the architecture ships it (x86, x64), is built for the same
# architecture and imports only system DLLs too. Usage: check-shipped.sh x86|x64|arm64
set -u
cd "$(dirname "$0")/.."
# 64 KiB for the plug-in and its US English resources, and 8 KiB for each translation it carries.
languages=$(find src/resources/languages -maxdepth 1 -name '*.rc' 2>/dev/null | wc -l)
size_limit=$((64 * 1024 + languages * 8 * 1024))
case ${1:-} in x86) format=coff-i386 ;; x64) format=coff-x86-64 ;; arm64) format=coff-arm64 ;;
  *) echo "architecture x86, x64 or arm64, not ${1:-}"; exit 2 ;; esac
system='KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|WINSPOOL\.DRV|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|api-ms-win-[a-z0-9-]+'

# dump FILE [MORE]: its headers, once it is built for the architecture and imports only system DLLs
# (or MORE, a pattern of other system DLLs it may import).
dump() {
  local dump bad system="^($system${2:+|$2})(\.dll)?\$"
  dump=$(llvm-objdump-16 -p "$1" 2>&1) || { echo "cannot read $1: $dump"; return 1; }
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
# Each export as "ORDINAL NAME"; an export without a name (such as an empty slot at ordinal 0) shows
# as its ordinal alone.
exports=$(printf '%s\n' "$dll_dump" | sed -n '/^Export Table:/,/^$/p' | grep -E '^ +[0-9]+ +(0x[0-9a-f]+|0)( |$)' |
  awk '{print $3 == "" ? "unnamed-" $1 : $3}' | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
  echo "$dll: unexpected exports: $exports"; exit 1
fi
# The manifest that gives the pages Common Controls 6: resource type 24, id 2.
if ! llvm-readobj-16 --coff-resources "$dll" 2>/dev/null | grep -qE 'Type: MANIFEST \(ID 24\)'; then
  echo "$dll: no manifest resource"; exit 1
fi
size=$(stat -c %s "$dll")
if [ "$size" -gt "$size_limit" ]; then
  echo "$dll: $size bytes, over the limit of $size_limit ($languages translations)"; exit 1
fi
shipped="$dll: $arch, exports, imports and manifest as shipped, $size bytes (limit $size_limit)"
# No host program for ARM64: the plug-in alone is shipped there.
if [ "$arch" = arm64 ]; then echo "$shipped"; exit 0; fi
host_dump=$(dump "$host" gdiplus) || { echo "$host_dump"; exit 1; }
echo "$shipped; $host: $arch, system DLLs only"
