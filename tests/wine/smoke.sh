#!/usr/bin/env bash
# The Windows build under Wine against the Linux build: the same identity from `info`, the demo
# performance rendered to the same audio (within 1e-5), and the editor showing it in the same
# pixels outside the places where text goes (Wine on the tests' display, the Linux build on a
# virtual X server of its own: xvfb.sh).
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
passed=0
failed=0
check() {  # check <name> <command>...
    if "${@:2}"; then
        echo "PASS $1"
        passed=$((passed + 1))
    else
        echo "FAIL $1"
        failed=$((failed + 1))
    fi
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

# The editor with the demo performance, as a picture from each build after the same input: tone
# 3 chosen and its volume pulled down once the instruments have loaded (a tone that finishes
# loading chooses itself, so the load's timing would decide otherwise), then the pointer away
# from every control. Text is left out: Windows draws it with GDI, Linux with
# FreeType. Where it goes comes from the editor's own layout (editor_text_areas), not from a
# tolerance; the input moves no text.
areas="$linux/tests/editor/editor_text_areas"
# After the input each step waits for what it changes ("until" a pixel outside the text takes a
# colour, the same on both): tone 3's frame, the thumb gone from its place; the editor stays
# open until the script has ended. Only the loads are waited for by time: their sign on the
# editor is the names' colour, which is text.
cat > actions.txt <<'EOF_ACTIONS'
wait 2000
click 33 118
until 16 120 50a0ff
drag 402 118 372 118 200
until 402 118 !f0f0f0
move 600 20
wait 300
until 16 120 50a0ff
EOF_ACTIONS
editor=(--chunk demo.mrp --seconds 0 --until-done --actions actions.txt)
editor_pictures() {
    xvfb_start "$work/xvfb" 1280x1024x24 || return 1
    local status=0
    HOME="$work/home" DISPLAY=$(cat "$work/xvfb/display") \
        "$host_linux" editor "$linux/marlet.so" "${editor[@]}" --snap linux.png || status=$?
    xvfb_stop "$work/xvfb"
    [ "$status" -eq 0 ] || { echo "marlet-host editor (Linux) ended with status $status"; return 1; }
    "${host_windows[@]}" editor "$windows/marlet.dll" "${editor[@]}" --snap windows.png |
        tr -d '\r' || return 1
    HOME="$work/home" "$areas" demo.mrp 2 > text-areas.txt || return 1
    python3 "$here/compare_png.py" linux.png windows.png text-areas.txt "$work/editor-diff.png"
}
if [ -z "${DISPLAY:-}" ]; then
    echo "SKIP editor: no display for Wine"
elif ! command -v Xvfb >/dev/null || [ ! -x "$areas" ]; then
    echo "SKIP editor: no Xvfb, or no $areas"
else
    # shellcheck source=xvfb.sh
    . "$here/xvfb.sh"
    trap 'xvfb_stop "$work/xvfb"' EXIT
    mkdir -p home
    check editor editor_pictures
fi

echo "$passed passed, $failed failed"
exit $((failed > 0))
