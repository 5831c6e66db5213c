#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a test executable on a virtual X display of its own, so that real key presses sent with
# xdotool reach the client's windows. Exits 77 (ctest: skipped) when Xvfb or xdotool is missing.
#
#   tests/x11/run-under-xvfb.sh build/bin/test_x11 [test class] [Qt Test arguments]
set -euo pipefail
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
unset QT_IM_MODULE
"$@"
