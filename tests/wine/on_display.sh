#!/bin/sh
# Runs a command on the Wine tests' virtual display when wine_start.sh started one; otherwise as
# it is.
#   on_display.sh STATE COMMAND [ARG...]
state=$1
shift
if [ -s "$state/display" ]; then
    DISPLAY=$(cat "$state/display")
    export DISPLAY
fi
exec "$@"
