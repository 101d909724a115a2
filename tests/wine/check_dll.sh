#!/usr/bin/env bash
# The plug-in DLL exports exactly VSTPluginMain and main, and imports nothing but the system's
# DLLs (the C++ runtime, libgcc and winpthreads are linked in).
#   tests/wine/check_dll.sh OBJDUMP marlet.dll
set -euo pipefail
export LC_ALL=C
objdump=$1
dll=$2
headers=$("$objdump" -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$headers" | awk '/\]/ {print $NF}' |
          grep -v Table | sort | tr '\n' ' ')
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<< "$headers" | sort -u | tr '\n' ' ')
echo "exports: $exports"
echo "imports: $imports"
[ "$exports" = "VSTPluginMain main " ] || { echo "FAILED: exports other than the two entries"; exit 1; }
system="advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll shell32.dll
        shlwapi.dll user32.dll"
for dll in $imports; do
    grep -qw "$dll" <<< "$system" || { echo "FAILED: $dll is not a system DLL"; exit 1; }
done
