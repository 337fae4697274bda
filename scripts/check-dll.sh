#!/usr/bin/env bash
# The shipped DLL is built for its architecture, exports exactly DllGetClassObject and
# DllCanUnloadNow (and no unnamed export besides), imports only Windows system DLLs, carries its
# manifest and stays within the size limit. Read as a file, with LLVM's objdump, which reads the
# x86, x64 and ARM64 DLLs alike, so it holds also where a DLL's programs cannot run.
# Usage: check-dll.sh path/to/orlinui.dll x86|x64|arm64
set -u
cd "$(dirname "$0")/.."
# 64 KiB for the plug-in and its US English resources, and 8 KiB for each translation it carries.
languages=$(find src/resources/languages -maxdepth 1 -name '*.rc' 2>/dev/null | wc -l)
size_limit=$((64 * 1024 + languages * 8 * 1024))

dll=$1
case $2 in x86) format=coff-i386 ;; x64) format=coff-x86-64 ;; arm64) format=coff-arm64 ;;
  *) echo "architecture x86, x64 or arm64, not $2"; exit 2 ;; esac
dump=$(llvm-objdump-16 -p "$dll" 2>&1) || { echo "cannot read $dll: $dump"; exit 1; }
if ! printf '%s\n' "$dump" | grep -q "file format $format\$"; then
  echo "$dll: not an $2 DLL: $(printf '%s\n' "$dump" | grep -m1 'file format')"; exit 1
fi
# Each export as "ORDINAL NAME"; an export without a name (such as an empty slot at ordinal 0) shows
# as its ordinal alone.
exports=$(printf '%s\n' "$dump" | sed -n '/^Export Table:/,/^$/p' | grep -E '^ +[0-9]+ +(0x[0-9a-f]+|0)( |$)' |
  awk '{print $3 == "" ? "unnamed-" $1 : $3}' | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
  echo "$dll: unexpected exports: $exports"; exit 1
fi
system='^(KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|WINSPOOL\.DRV|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|api-ms-win-[a-z0-9-]+)(\.dll)?$'
bad=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | grep -viE "$system" || true)
if [ -n "$bad" ]; then
  echo "$dll: imports non-system DLLs: $bad"; exit 1
fi
# The manifest that gives the pages Common Controls 6: resource type 24, id 2.
if ! llvm-readobj-16 --coff-resources "$dll" 2>/dev/null | grep -qE 'Type: MANIFEST \(ID 24\)'; then
  echo "$dll: no manifest resource"; exit 1
fi
size=$(stat -c %s "$dll")
if [ "$size" -gt "$size_limit" ]; then
  echo "$dll: $size bytes, over the limit of $size_limit ($languages translations)"; exit 1
fi
echo "$dll: $2, exports, imports and manifest as shipped, $size bytes (limit $size_limit)"
