#!/usr/bin/env bash
# The shipped DLL exports exactly DllGetClassObject and DllCanUnloadNow and imports only Windows
# system DLLs. Usage: check-dll.sh path/to/orlinui.dll
set -u
dll=$1
dump=$(x86_64-w64-mingw32-objdump -p "$dll") || { echo "cannot read $dll"; exit 1; }
exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | grep -oE '\] [A-Za-z_@0-9]+' | cut -c3- | sort | tr '\n' ' ')
if [ "$exports" != "DllCanUnloadNow DllGetClassObject " ]; then
  echo "$dll: unexpected exports: $exports"; exit 1
fi
system='^(KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|COMDLG32|WINSPOOL\.DRV|msvcrt|ole32|OLEAUT32|SHELL32|SHLWAPI|api-ms-win-[a-z0-9-]+)(\.dll)?$'
bad=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | grep -viE "$system" || true)
if [ -n "$bad" ]; then
  echo "$dll: imports non-system DLLs: $bad"; exit 1
fi
echo "$dll: exports and imports as shipped"
