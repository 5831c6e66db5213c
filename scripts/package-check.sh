#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Checks the Debian packages the way a school's technician uses them: builds them from a built
# tree (CPack), runs lintian, installs them with apt-get, writes a room preset, starts the
# installed client as a fresh user under Xvfb against the installed test server (window title,
# preset copied into the user's settings, connect, a short test), starts the installed teacher's
# console as that user (its results store in the user's data folder, a student's report kept,
# its results file written when it is stopped), then removes the packages and checks that
# nothing of theirs is left in /usr.
#
#   scripts/package-check.sh [build-dir]      default: build (built by scripts/build.sh)
#   SHOTS=folder scripts/package-check.sh     also keeps screenshots of the installed client
#
# Needs root (or sudo): it installs and removes packages, adds and removes a user and writes
# /etc/chengling/appset.ini (a preset already there is put back afterwards). It stops when the
# packages are installed already, so it never removes a real installation.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "package-check: run as root (apt-get needs it)." >&2; exit 1; }
    exec sudo --preserve-env=SHOTS "$0" "$@"
fi

build=$(realpath "${1:-build}")
started=$(date +%s)
student=chengling-check
preset=/etc/chengling/appset.ini
text=春眠不觉晓
expect="typed 5, right 5,"
title="澄岭文字录入测试系统客户端  1.8.0"
app_id=cn.chengling.client
teacher_id=cn.chengling.teacher
packages=(chengling-client chengling-testserver chengling-teacher)

step() { echo "== package-check: $*"; }
fail() {
    echo "package-check: FAILED: $*" >&2
    exit 1
}

for package in "${packages[@]}"; do
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        fail "$package is installed on this machine already; remove it first (this check would remove it)"
    fi
done
if id "$student" >/dev/null 2>&1; then
    fail "the user $student exists already; remove it first (this check adds and removes it)"
fi

work=$(mktemp -d /tmp/chengling-package-check.XXXXXX)
chmod 755 "$work"
server=""
teacher=""
installed=""
cleanup() {
    # The programs started as the check's user, by the ids they wrote, then their starters.
    for pidfile in "$work/out/server.pid" "$work/out/teacher.pid"; do
        if [ -f "$pidfile" ]; then kill "$(cat "$pidfile")" 2>/dev/null || true; fi
    done
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
    if [ -n "$teacher" ]; then kill "$teacher" 2>/dev/null || true; fi
    if id "$student" >/dev/null 2>&1; then userdel -r "$student" 2>/dev/null || true; fi
    if [ -f "$work/preset.saved" ]; then
        cp -p "$work/preset.saved" "$preset"
    elif [ -f "$work/preset.ours" ]; then
        rm -f "$preset"
        rmdir /etc/chengling 2>/dev/null || true
    fi
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=600 \
            "${packages[@]}" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# --- Build -------------------------------------------------------------------------------------
step "building the packages in $build"
(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; fail "cpack"; }
# apt's download user must be able to read them.
cp "$build"/chengling-client_*.deb "$build"/chengling-testserver_*.deb \
    "$build"/chengling-teacher_*.deb "$work/"
client_deb=$(ls "$work"/chengling-client_*.deb)
server_deb=$(ls "$work"/chengling-testserver_*.deb)
teacher_deb=$(ls "$work"/chengling-teacher_*.deb)
chmod 644 "$client_deb" "$server_deb" "$teacher_deb"
dpkg-deb -f "$client_deb" Version | grep -qx '1.8.0' || fail "the client package is not version 1.8.0"
dpkg-deb -f "$client_deb" Depends | grep -q 'qt6-translations-l10n' ||
    fail "the client package does not depend on qt6-translations-l10n (Qt's Chinese texts)"

# --- lintian -----------------------------------------------------------------------------------
step "lintian (fails on errors; warnings and infos are listed)"
lintian_status=0
lintian --fail-on error --display-info "$client_deb" "$server_deb" "$teacher_deb" \
    >"$work/lintian.log" 2>&1 ||
    lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ $lintian_status -eq 0 ] || fail "lintian reports errors"

# --- Install -----------------------------------------------------------------------------------
step "installing with apt-get"
find /usr -xdev | sort >"$work/usr-before"
installed=yes
DEBIAN_FRONTEND=noninteractive apt-get install -y -q -o DPkg::Lock::Timeout=600 \
    "$client_deb" "$server_deb" "$teacher_deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get install"; }
dpkg-query -L "${packages[@]}" | sort -u >"$work/installed-files"

step "checking the installed files"
for id in "$app_id" "$teacher_id"; do
    desktop-file-validate "/usr/share/applications/$id.desktop" || fail "desktop entry $id"
    appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 ||
        { cat "$work/as.log"; fail "AppStream metainfo of $id"; }
    for icon in scalable/apps/$id.svg 48x48/apps/$id.png 256x256/apps/$id.png; do
        [ -f "/usr/share/icons/hicolor/$icon" ] || fail "icon $icon missing"
    done
done
for program in chengling-client chengling-testserver chengling-teacher; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "/usr/share/man/man1/$program.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page of $program: $warnings"
    # Both answer without a display, as a technician over ssh would ask.
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)
    [ "$version" = "$program 1.8.0" ] || fail "$program --version said '$version'"
    # Read whole first: a long help cut off by grep -q would end the program on SIGPIPE.
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help)
    grep -q -- '--version' <<<"$help" || fail "$program --help does not list --version"
done
for data in wb.dat wbcz.dat; do
    [ -s "/usr/share/chengling/$data" ] || fail "/usr/share/chengling/$data missing"
done

# --- The installed server and a room preset ----------------------------------------------------
step "starting the installed test server"
touch "$work/server.log"
chmod 644 "$work/server.log"
for _ in 1 2 3; do
    port=$((20000 + RANDOM % 20000))
    chengling-testserver --port "$port" --text "$text" >"$work/server.log" 2>&1 &
    server=$!
    for _ in $(seq 50); do
        grep -q "listening" "$work/server.log" && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    grep -q "listening" "$work/server.log" && break
    kill "$server" 2>/dev/null || true
    server=""
done
[ -n "$server" ] || fail "the test server did not start: $(cat "$work/server.log")"

step "writing the room preset $preset (server 127.0.0.1:$port)"
if [ -f "$preset" ]; then cp -p "$preset" "$work/preset.saved"; else touch "$work/preset.ours"; fi
mkdir -p /etc/chengling
printf '[serverset]\r\nip=127.0.0.1\r\nport=%s\r\n' "$port" >"$preset"
chmod 644 "$preset"

# --- A fresh user --------------------------------------------------------------------------------
useradd -m -s /bin/bash "$student"
home=$(getent passwd "$student" | cut -d: -f6)
cp scripts/installed-session.sh "$work/session.sh"
chmod 755 "$work/session.sh"
printf '%s' "$text" >"$work/text"
printf '%s' "$expect" >"$work/expect"
install -d -o "$student" "$work/out"
if [ -n "${SHOTS:-}" ]; then install -d -o "$student" "$work/out/shots"; fi
session() { # phase, scale, screen
    runuser -u "$student" -- env -i PATH=/usr/bin:/bin HOME="$home" USER="$student" \
        LANG=C.UTF-8 QT_SCALE_FACTOR="$2" \
        xvfb-run -a -s "-screen 0 $3x24" bash "$work/session.sh" "$1" "$work"
}

step "first start of the installed client as the fresh user $student"
session first 1 1280x800 || fail "first start"
[ "$(cat "$work/out/title-first")" = "$title" ] || fail "window title '$(cat "$work/out/title-first")'"
user_settings=$home/.config/chengling/appset.ini
cmp -s "$preset" "$user_settings" || fail "the preset did not reach $user_settings"
[ "$(stat -c %U "$user_settings")" = "$student" ] || fail "$user_settings does not belong to $student"

step "a short test at 2x scaling against the installed server"
# The student's identity, as the personal information dialog would store it (GBK).
printf '[userinfo]\r\nname=李明\r\nxuehao=07\r\nbanji=三班\r\n' | iconv -f UTF-8 -t GBK |
    runuser -u "$student" -- tee -a "$user_settings" >/dev/null
session test 2 2560x1600 || { cat "$work/server.log"; fail "test session"; }
grep -q "connected from 127.0.0.1" "$work/server.log" || fail "the client never connected"
grep -q -- "-> 1009 start pressed" "$work/server.log" || fail "start was not pressed"
grep -q -- "-> .*李明 三班 .*$expect" "$work/server.log" ||
    { cat "$work/server.log"; fail "no progress report of the typed text with the student's name"; }
if [ -n "${SHOTS:-}" ]; then
    mkdir -p "$SHOTS"
    cp "$work"/out/shots/*.png "$SHOTS/"
fi
kill "$server"
wait "$server" 2>/dev/null || true
server=""

step "the teacher's results store as $student: a test of the installed server, resumed by the installed console"
as_student() {
    runuser -u "$student" -- env -i PATH=/usr/bin:/bin HOME="$home" USER="$student" \
        LANG=C.UTF-8 "$@"
}
wait_port() { # port, pid
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
port=$((20000 + RANDOM % 20000))
# The programs' own process ids, for the signals: the shell that writes one becomes the program.
as_student sh -c 'echo $$ >"$0"; exec chengling-testserver --port "$1" --store default --text "$2"' \
    "$work/out/server.pid" "$port" "$text" >"$work/store-server.log" 2>&1 &
server=$!
wait_port "$port" "$server" || { cat "$work/store-server.log"; fail "no server with the store"; }
# A student's client, by hand: the settings answered, start pressed, the text taken, a report.
exec 3<>"/dev/tcp/127.0.0.1/$port"
for message in 1008 1010 1009 1011 '1099|07|LiMing|3|5|5|2|2|0|en|PC07|'; do
    sleep 0.4
    printf '%s' "$message" >&3
done
sleep 0.5
exec 3>&-
kill -TERM "$(cat "$work/out/server.pid")"
wait "$server" 2>/dev/null || true
server=""
grep -q "results written" "$work/store-server.log" ||
    { cat "$work/store-server.log"; fail "the server with the store did not stop on SIGTERM"; }
store="$home/.local/share/chengling-teacher/results.sqlite"
[ -s "$store" ] || { cat "$work/store-server.log"; fail "no results store at $store"; }
[ "$(stat -c %U:%a "$store")" = "$student:600" ] || fail "$store is not $student's alone"
port=$((20000 + RANDOM % 20000))
as_student xvfb-run -a -s "-screen 0 1280x800x24" \
    sh -c 'echo $$ >"$0"; exec chengling-teacher --local --port "$1" --results "$2"' \
    "$work/out/teacher.pid" "$port" "$home/results" >"$work/teacher.log" 2>&1 &
teacher=$!
wait_port "$port" "$teacher" ||
    { cat "$work/teacher.log" "$work/store-server.log"; fail "the teacher's console did not start"; }
sleep 1
kill -TERM "$(cat "$work/out/teacher.pid")" || fail "the teacher's console is not running"
for _ in $(seq 50); do kill -0 "$teacher" 2>/dev/null || break; sleep 0.1; done
kill -0 "$teacher" 2>/dev/null && fail "the teacher's console did not stop on SIGTERM"
wait "$teacher" 2>/dev/null || true
teacher=""
# The console went on with the server's test and wrote its results when it was stopped.
grep -qs '^07,LiMing,3,PC07,en,' "$home"/results/*.csv ||
    { cat "$work/teacher.log" "$home"/results/*.csv 2>&1; fail "no results file with the student's report"; }
userdel -r "$student" 2>/dev/null || true

# --- Removal -------------------------------------------------------------------------------------
step "removing the packages"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=600 \
    "${packages[@]}" >"$work/apt-purge.log" 2>&1 ||
    { cat "$work/apt-purge.log"; fail "apt-get purge"; }
installed=""
while read -r path; do
    if [ -e "$path" ] && [ ! -d "$path" ]; then fail "$path is left after removal"; fi
done <"$work/installed-files"
# Anything new in /usr that no package owns was left behind by ours (or by its triggers).
find /usr -xdev | sort >"$work/usr-after"
comm -13 "$work/usr-before" "$work/usr-after" >"$work/usr-new"
if [ -s "$work/usr-new" ]; then
    # Caches that triggers rebuild for every package with desktop entries, icons or MIME types
    # (update-mime-database writes /usr/share/mime/<type>/ whenever any package is installed
    # meanwhile), and the byte code Python leaves for any program that runs meanwhile, belong
    # to no package.
    grep -v -e '/mimeinfo.cache$' -e '/icon-theme.cache$' -e '/__pycache__' \
        -e '^/usr/share/mime/[a-z-]*/[^/]*\.xml$' "$work/usr-new" |
        xargs -r -d '\n' dpkg-query -S 2>&1 >/dev/null |
        sed -n 's/^dpkg-query: no path found matching pattern //p' >"$work/usr-unowned" || true
    # With merged /usr, dpkg knows some files by their old names (/bin/ls for /usr/bin/ls).
    left=""
    while read -r path; do
        if ! dpkg-query -S "${path#/usr}" >/dev/null 2>&1; then left="$left $path"; fi
    done <"$work/usr-unowned"
    [ -z "$left" ] || fail "left in /usr after removal:$left"
fi

step "passed in $(($(date +%s) - started)) s"
