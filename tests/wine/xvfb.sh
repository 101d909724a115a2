# A virtual X server for the Wine tests' scripts, sourced by them (POSIX sh). The server takes
# a free display itself and writes its number once clients can come (-displayfd): nothing is
# guessed. It runs in a session of its own with no inherited output, so that ctest does not
# wait for it; it is stopped by the process id it leaves, never by name.

# Seconds a busy machine may take to start or stop the server.
xvfb_deadline=30

# xvfb_running PID: whether the process is an Xvfb that has not ended (an ended child that is
# not reaped yet has no command line).
xvfb_running() {
    tr '\0' ' ' 2>/dev/null <"/proc/$1/cmdline" | grep -q '^[^ ]*Xvfb '
}

# xvfb_start DIR SCREEN: starts Xvfb, leaving DIR/xvfb.pid, DIR/xvfb.log and DIR/display (":N")
# once the server is ready. Fails, saying why, when it is not within the deadline.
xvfb_start() {
    mkdir -p "$1" || return 1
    : >"$1/display-number"
    rm -f "$1/display"
    setsid Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp -noreset \
        3>"$1/display-number" </dev/null >"$1/xvfb.log" 2>&1 &
    echo $! >"$1/xvfb.pid"
    xvfb_end=$(($(date +%s) + xvfb_deadline))
    # The number is complete once its line has ended.
    while [ "$(wc -l <"$1/display-number")" -lt 1 ]; do
        if ! xvfb_running "$(cat "$1/xvfb.pid")"; then
            echo "Xvfb ended before it reported a display; its output:" >&2
            cat "$1/xvfb.log" >&2
            return 1
        fi
        if [ "$(date +%s)" -ge "$xvfb_end" ]; then
            echo "Xvfb reported no display within $xvfb_deadline s; its output:" >&2
            cat "$1/xvfb.log" >&2
            xvfb_stop "$1"
            return 1
        fi
        sleep 0.1
    done
    echo ":$(tr -dc 0-9 <"$1/display-number")" >"$1/display"
}

# xvfb_stop DIR: stops the server xvfb_start left in DIR (only if that process is still an
# Xvfb) and waits for it to end.
xvfb_stop() {
    [ -s "$1/xvfb.pid" ] || return 0
    xvfb_pid=$(cat "$1/xvfb.pid")
    rm -f "$1/xvfb.pid"
    xvfb_running "$xvfb_pid" || return 0
    kill "$xvfb_pid" 2>/dev/null
    xvfb_end=$(($(date +%s) + xvfb_deadline))
    while xvfb_running "$xvfb_pid"; do
        if [ "$(date +%s)" -ge "$xvfb_end" ]; then
            kill -KILL "$xvfb_pid" 2>/dev/null
            break
        fi
        sleep 0.1
    done
    # Reaped here when this shell started it; elsewhere its parent has gone and init reaps it.
    wait "$xvfb_pid" 2>/dev/null || true
}
