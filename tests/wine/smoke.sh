#!/usr/bin/env bash
# The Windows build under Wine against the Linux build: the same identity from `info`, and the
# demo performance rendered to the same audio (within 1e-5).
#   tests/wine/smoke.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
linux=$(realpath "$1")
windows=$(realpath "$2")
for needed in "$linux/marlet.so" "$linux/tools/marlet-demo/marlet-demo" "$windows/marlet.dll"; do
    [ -e "$needed" ] || { echo "SKIP: no $needed"; exit 77; }
done
here=$(dirname "$(realpath "$0")")
work="$windows/wine-smoke"
rm -rf "$work"
mkdir -p "$work"
cd "$work"

export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$windows/wine-prefix}"
host_linux="$linux/tools/marlet-host/marlet-host"
host_windows=(wine "$windows/tools/marlet-host/marlet-host.exe")
failed=0
check() {  # check <name> <command>...
    if "${@:2}"; then echo "PASS $1"; else echo "FAIL $1"; failed=$((failed + 1)); fi
}

# The identity a host sees, the flags (the editor's among them) included.
"$host_linux" info "$linux/marlet.so" > info-linux.txt
"${host_windows[@]}" info "$windows/marlet.dll" | tr -d '\r' > info-windows.txt
check info diff -u info-linux.txt info-windows.txt

# The demo: a bank from our own .gig writer, a performance on two tones and a layer, a phrase.
"$linux/tools/marlet-demo/marlet-demo" "$work" > /dev/null
perf="$linux/tools/marlet-perf/marlet-perf"
"$perf" new demo.mrp
"$perf" set demo.mrp --tone 0 --gig "$work/demo.gig" --program 0 --channel 0 --bus 0
"$perf" set demo.mrp --tone 1 --gig "$work/demo.gig" --program 1 --channel 1 --bus 0
"$perf" add-layer demo.mrp --tone 1 --gig "$work/demo.gig" --program 2 --keys 36-47 > /dev/null
render=(--chunk demo.mrp --midi demo.mid --bus 0 --tail 2)
"$host_linux" render "$linux/marlet.so" "${render[@]}" --out linux.wav
"${host_windows[@]}" render "$windows/marlet.dll" "${render[@]}" --out windows.wav
check render python3 "$here/compare_wav.py" linux.wav windows.wav 1e-5

echo "$((2 - failed)) passed, $failed failed"
exit $((failed > 0))
