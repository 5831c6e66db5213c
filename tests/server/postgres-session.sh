#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a command beside a PostgreSQL 15 server of its own: initdb and pg_ctl in a temporary
# folder, listening on 127.0.0.1 at a free port, gone when the command ends. The command gets
#   CHENGLING_TEST_PG        postgresql://chengling@127.0.0.1:PORT/chengling_test
#   CHENGLING_TEST_PG_STOP   a program that stops the server (fast), to take it away mid-test
#   CHENGLING_TEST_PG_START  a program that starts it again on the same data
# PostgreSQL refuses to run as root: as root (CI) the server runs as an ordinary user
# (CHENGLING_PG_USER, else chengling-test, created when missing); the command itself runs as
# the caller.
set -euo pipefail
bin=/usr/lib/postgresql/15/bin
if [ ! -x "$bin/initdb" ]; then
    echo "postgres-session.sh: PostgreSQL 15 is missing (scripts/install-deps.sh installs postgresql-15)" >&2
    exit 1
fi
run=()
if [ "$(id -u)" -eq 0 ]; then
    user=${CHENGLING_PG_USER:-chengling-test}
    if ! id "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
            "$user" || { echo "postgres-session.sh: cannot create the user $user" >&2; exit 1; }
    fi
    run=(setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --clear-groups
         env HOME=/tmp USER="$user" LOGNAME="$user")
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/chengling-pg.XXXXXX")
chmod 755 "$dir"
[ ${#run[@]} -eq 0 ] || chown "$(id -u "$user"):$(id -g "$user")" "$dir"

# A free port on the loopback address, from the kernel.
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

cleanup() {
    "${run[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap cleanup EXIT

"${run[@]}" "$bin/initdb" -D "$dir/data" -U chengling -A trust -E UTF8 --locale=C.UTF-8 \
    --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
# Durability is not what these tests look at: no fsync, so a run stays within seconds.
options="-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
quote() { printf '%q ' "$@"; }
cat >"$dir/start" <<SCRIPT
#!/bin/sh
exec $(quote "${run[@]}") $(quote "$bin/pg_ctl") -D $(quote "$dir/data") -l $(quote "$dir/server.log") -w -t 30 -o $(quote "$options") start
SCRIPT
cat >"$dir/stop" <<SCRIPT
#!/bin/sh
exec $(quote "${run[@]}") $(quote "$bin/pg_ctl") -D $(quote "$dir/data") -m fast -w -t 30 stop
SCRIPT
chmod 755 "$dir/start" "$dir/stop"
"$dir/start" >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
"${run[@]}" "$bin/createdb" -h 127.0.0.1 -p "$port" -U chengling chengling_test

export CHENGLING_TEST_PG="postgresql://chengling@127.0.0.1:$port/chengling_test"
export CHENGLING_TEST_PG_STOP="$dir/stop"
export CHENGLING_TEST_PG_START="$dir/start"
set +e
"$@"
status=$?
set -e
if [ $status -ne 0 ] && [ -f "$dir/server.log" ]; then
    echo "--- PostgreSQL's log ---" >&2
    tail -n 40 "$dir/server.log" >&2
fi
exit $status
