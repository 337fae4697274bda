#!/usr/bin/env bash
# The shipped DLL is built for its architecture, exports exactly DllGetClassObject and
# DllCanUnloadNow and imports only Windows system DLLs. Read as a file, so it holds for the x86 DLL
# also where x86 programs cannot run. Usage: check-dll.sh path/to/orlinui.dll x86|x64
set -u
dll=$1
case $2 in x86) format=pei-i386 ;; x64) format=pei-x86-64 ;; *) echo "architecture x86 or x64, not $2"; exit 2 ;; esac
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "cannot read $dll"; exit 1; }
if ! printf '%s\n' "$dump" | grep -q "file format $format\$"; then
  echo "$dll: not an $2 DLL: $(printf '%s\n' "$dump" | grep -m1 'file format')"; exit 1
fi
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | grep -oE '\] [A-Za-z_@0-9]+' | cut -c3- | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
  echo "$dll: unexpected exports: $exports"; exit 1
fi
system='^(KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|WINSPOOL\.DRV|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|api-ms-win-[a-z0-9-]+)(\.dll)?$'
bad=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | grep -viE "$system" || true)
if [ -n "$bad" ]; then
  echo "$dll: imports non-system DLLs: $bad"; exit 1
fi
echo "$dll: $2, exports and imports as shipped"
