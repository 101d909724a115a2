#!/bin/sh
# What every Wine test shares, started apart from the tests: a virtual X server on a free display
# (when Xvfb is installed; xvfb.sh), named in STATE/display for on_display.sh, and one Wine server
# with its prefix booted on that display. Without Xvfb the tests run with the environment's
# display, or none; an Xvfb that does not start fails this step, saying why.
#   wine_start.sh WINESERVER WINEBOOT STATE
set -u
wineserver=$1
wineboot=$2
state=$3
here=$(dirname "$0")
"$here/wine_stop.sh" "$wineserver" "$state"
mkdir -p "$state"

. "$here/xvfb.sh"
if command -v Xvfb >/dev/null 2>&1; then
    if ! xvfb_start "$state" 1280x1024x24; then
        echo "the Wine tests' virtual display did not start" >&2
        "$here/wine_stop.sh" "$wineserver" "$state"
        exit 1
    fi
    DISPLAY=$(cat "$state/display")
    export DISPLAY
    echo "Wine tests on display $DISPLAY"
fi

# One Wine server for the whole run: the first Wine program would otherwise start the server and
# Wine's own services with that test's output pipes, and ctest would wait for them to close long
# after the test has ended. Mono and Gecko are not offered: on a display their installer would
# wait for an answer.
{
    mkdir -p "${WINEPREFIX:-$HOME/.wine}" && "$wineserver" -p &&
        WINEDLLOVERRIDES="mscoree=;mshtml=" "$wineboot" -i
} >/dev/null 2>&1 </dev/null
