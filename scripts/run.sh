#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets everything up and takes a test at once: builds the client and the bundled test server,
# starts the server on this machine with a sample test, and starts the client pointed at it.
#
#   scripts/run.sh [script]      script: a test script, default the short Chinese text sample
#   PORT=12000 scripts/run.sh    another port than 10000
set -euo pipefail
cd "$(dirname "$0")/.."

# The client needs a desktop: say so at once, before minutes of installing and building.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop found (neither DISPLAY nor WAYLAND_DISPLAY is set). Run this from a" >&2
    echo "desktop session, or under a virtual one: scripts/install-deps.sh, then" >&2
    echo "xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

scripts/install-deps.sh
scripts/build.sh build

bin=build/bin
port=${PORT:-10000}
script=${1:-tools/testserver/samples/chinese-text.script}

# A first start gets settings pointed at the local server, with a sample identity the student
# can change in the two settings dialogs. An existing appset.ini is left as it is.
if [ ! -f "$bin/appset.ini" ]; then
    printf '[serverset]\r\nip=127.0.0.1\r\nport=%s\r\n[userinfo]\r\nname=体验学生\r\nxuehao=001\r\nbanji=体验班\r\n' "$port" \
        | iconv -f UTF-8 -t GBK > "$bin/appset.ini"
fi

"$bin/chengling-testserver" --port "$port" "$script" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
sleep 0.5
kill -0 $server 2>/dev/null || { echo "The test server did not start (is port $port in use?)." >&2; exit 1; }

echo "Test server on 127.0.0.1:$port running $script. In the client: 连接... then 开 始."
"$bin/chengling-client"
