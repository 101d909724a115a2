#!/bin/sh
# Stops what wine_start.sh started: the Wine server of the prefix, then the virtual X server
# (by the id it left, and only if that is still an Xvfb).
#   wine_stop.sh WINESERVER STATE
set -u
wineserver=$1
state=$2
# -k only asks the server to go; -w waits until it has, so a server started next does not find
# the old one still holding the prefix.
"$wineserver" -k >/dev/null 2>&1 || true
timeout 30 "$wineserver" -w >/dev/null 2>&1 || true
. "$(dirname "$0")/xvfb.sh"
xvfb_stop "$state"
rm -rf "$state"
