#!/bin/sh
# What every Wine test shares, started apart from the tests: a virtual X server on a free display
# (when Xvfb is installed), named in STATE/display for on_display.sh, and one Wine server with its
# prefix booted on that display. Without Xvfb the tests run with the environment's display, or
# none.
#   wine_start.sh WINESERVER WINEBOOT STATE
set -u
wineserver=$1
wineboot=$2
state=$3
here=$(dirname "$0")
"$here/wine_stop.sh" "$wineserver" "$state"
mkdir -p "$state"

if command -v Xvfb >/dev/null 2>&1; then
    # -displayfd: the server takes a free display and writes its number once clients can come.
    # Its own session and no inherited output, so that ctest does not wait for it.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$state/display-number" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$state/display-number" ] && break
        sleep 0.1
    done
    number=$(tr -dc 0-9 <"$state/display-number" 2>/dev/null)
    if [ -z "$number" ]; then
        echo "Xvfb did not start; the Wine tests run without a display" >&2
        "$here/wine_stop.sh" "$wineserver" "$state"
        mkdir -p "$state"
    else
        echo ":$number" >"$state/display"
        export DISPLAY=":$number"
        echo "Wine tests on display $DISPLAY"
    fi
fi

# One Wine server for the whole run: the first Wine program would otherwise start the server and
# Wine's own services with that test's output pipes, and ctest would wait for them to close long
# after the test has ended. Mono and Gecko are not offered: on a display their installer would
# wait for an answer.
{
    mkdir -p "${WINEPREFIX:-$HOME/.wine}" && "$wineserver" -p &&
        WINEDLLOVERRIDES="mscoree=;mshtml=" "$wineboot" -i
} >/dev/null 2>&1 </dev/null
