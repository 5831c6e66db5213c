#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# One desktop session of the installed client, run by scripts/package-check.sh as a fresh user
# inside xvfb-run. It drives the client like a student with xdotool and writes what it saw
# into the work folder; the caller judges it.
#
#   installed-session.sh first WORK   start, read the window title, close
#   installed-session.sh test WORK    connect, start a test, type the text, close
#
# WORK holds server.log (the installed test server's output, readable by this user), text (the
# test text) and expect (what a progress report shows once the text is typed); this user writes
# into WORK/out only: the client's output, the window title, and screenshots when
# WORK/out/shots exists.
set -euo pipefail
phase=$1
work=$2
out=$work/out
scale=${QT_SCALE_FACTOR:-1}

fail() {
    echo "session: $*" >&2
    exit 1
}

# Waits until the server log has a line matching the pattern (at most 15 s).
wait_for_log() {
    for _ in $(seq 150); do
        grep -q -- "$1" "$work/server.log" && return 0
        sleep 0.1
    done
    fail "the test server never logged '$1'"
}

shot() {
    if [ -d "$out/shots" ]; then
        import -window root "$out/shots/$1.png"
    fi
}

chengling-client >"$out/client-$phase.log" 2>&1 &
client=$!
trap 'kill $client 2>/dev/null || true' EXIT

window=""
for _ in $(seq 100); do
    window=$(xdotool search --classname '^chengling-client$' 2>/dev/null | tail -1 || true)
    [ -n "$window" ] && break
    kill -0 $client 2>/dev/null || fail "the client exited at start: $(cat "$out/client-$phase.log")"
    sleep 0.1
done
[ -n "$window" ] || fail "no client window within 10 s"
sleep 1 # start-up ends with the caption; the code tables load meanwhile

xprop -id "$window" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p' \
    >"$out/title-$phase"

if [ "$phase" = test ]; then
    # The buttons sit at fixed places in twips from the window's right edge (15 twips per
    # pixel at 96 dpi, times the scale factor): "连接..." at 6788, "开 始" at 5683, 320 down.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    y=$((320 * scale / 15))
    xdotool mousemove --window "$window" $((WIDTH - 6788 * scale / 15)) $y click 1
    wait_for_log '-> 1010'
    xdotool mousemove --window "$window" $((WIDTH - 5683 * scale / 15)) $y click 1
    wait_for_log '-> 1011'
    sleep 0.5
    # The pointer stays over the window, so the keys go to it (no window manager here).
    xdotool type --delay 150 "$(cat "$work/text")"
    wait_for_log "$(cat "$work/expect")"
    sleep 0.5
fi
shot "$phase"
