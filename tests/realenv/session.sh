#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a command inside a private desktop session made of real components, so tests can drive
# the real input method frameworks and a real X server:
#
#   session.sh [--fcitx5] [--ibus] [--openbox] -- command [args...]
#
# Always: a private D-Bus session bus (dbus-run-session) and an Xvfb display. --fcitx5: fcitx5
# with a fresh test profile (keyboard-us, wbx, pinyin; ShareInputState=All) under an English
# locale. --fcitx5-groups: fcitx5 as a room sets it up with one group per input method
# ("五笔": keyboard-us, wbx; "拼音": keyboard-us, pinyin) and its default ShareInputState=No. --ibus: an IBus
# daemon on its own bus with the Wubi tables, engines set up as keyboard, 海峰五笔86, 极点五笔,
# under a zh_CN locale; --ibus-locale=C.UTF-8 (or zh_TW.UTF-8) runs it under another language;
# --ibus-gnome sets the engines up the way GNOME does (its input sources: keyboard, 极点五笔,
# 海峰五笔86; IBus's own list left empty).
# --fcitx4: fcitx 4 from its packages unpacked by scripts/fcitx4-unpack.sh (Debian's fcitx
# conflicts with fcitx5), profile keyboard-us and Wubi, under an English locale.
# --openbox: a real window manager (frames, iconic windows).
# --sway: a Wayland session instead of Xvfb: headless sway (software rendering, no input
# devices) with Xwayland, so WAYLAND_DISPLAY and DISPLAY both serve. sway refuses to run as
# root, so as root the whole session runs as an ordinary user (CLIENT_SESSION_USER, else
# chengling-test, created when missing); the command must be readable by that user.
# --kwin: the same with KDE Plasma's compositor, KWin, on its virtual output (the binaries
# copied into the session's folder first: Debian gives kwin_wayland a file capability that a
# container cannot grant, and then refuses to run it).
#
# Each component that started is announced to the command in CLIENT_REAL_<NAME>=1; one that is
# not installed is left out with a line on stderr, and the tests that need it skip. One that is
# installed but does not start fails the run: a test must not skip quietly where it should run.
# Everything started here is stopped by its process id when the command ends.
set -uo pipefail

wants_sway() {
    local arg
    for arg in "$@"; do
        [ "$arg" = "--" ] && return 1
        [ "$arg" = "--sway" ] && return 0
        [ "$arg" = "--kwin" ] && return 0
    done
    return 1
}

if [ -z "${CLIENT_REAL_INNER:-}" ] && [ "$(id -u)" -eq 0 ] && wants_sway "$@"; then
    user=${CLIENT_SESSION_USER:-chengling-test}
    if ! id "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
            "$user" || { echo "session.sh: cannot create the user $user" >&2; exit 1; }
    fi
    # Everything the session writes lives in its own folder under TMPDIR, made by that user.
    exec setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --clear-groups \
        env HOME=/tmp USER="$user" LOGNAME="$user" TMPDIR=/tmp "$0" "$@"
fi

if [ -z "${CLIENT_REAL_INNER:-}" ]; then
    if ! command -v dbus-run-session >/dev/null; then
        echo "session.sh: dbus-run-session is missing (package dbus): no real components" >&2
        while [ $# -gt 0 ] && [ "$1" != "--" ]; do shift; done
        shift || true
        exec "$@"
    fi
    CLIENT_REAL_INNER=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
fi

want_sway=0 want_kwin=0 want_fcitx4=0 want_fcitx5=0 want_ibus=0 want_openbox=0 fcitx5_groups=0 ibus_locale=zh_CN.UTF-8 ibus_gnome=0
while [ $# -gt 0 ]; do
    case "$1" in
    --fcitx5) want_fcitx5=1 ;;
    --fcitx5-groups) want_fcitx5=1 fcitx5_groups=1 ;;
    --fcitx4) want_fcitx4=1 ;;
    --sway) want_sway=1 ;;
    --kwin) want_kwin=1 ;;
    --ibus) want_ibus=1 ;;
    --ibus-locale=*) want_ibus=1 ibus_locale=${1#--ibus-locale=} ;;
    --ibus-gnome) want_ibus=1 ibus_gnome=1 ;;
    --openbox) want_openbox=1 ;;
    --) shift; break ;;
    *) echo "session.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done

work=$(mktemp -d "${TMPDIR:-/tmp}/client-session.XXXXXX")
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

missing() { echo "session.sh: $1 is not installed (package $2): tests that need it skip" >&2; }
failed() {
    echo "session.sh: $1 did not start:" >&2
    tail -n 5 "$2" >&2
    exit 1
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1; shift
    for _ in $(seq "$tenths"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

has_owner() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

# The user's own settings, caches and daemons stay out of the session.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY IBUS_ADDRESS QT_IM_MODULE XMODIFIERS GTK_IM_MODULE

if [ "$want_sway" = 1 ]; then
    if command -v sway >/dev/null && command -v Xwayland >/dev/null; then
        cat >"$work/sway.config" <<'CONFIG'
xwayland enable
output HEADLESS-1 resolution 1280x800
CONFIG
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
            sway -c "$work/sway.config" >"$work/sway.log" 2>&1 &
        pids+=($!)
        wait_for 100 sh -c 'ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock' || failed sway "$work/sway.log"
        SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n1)
        socket=$(ls "$XDG_RUNTIME_DIR" | grep -E '^wayland-[0-9]+$' | head -n1)
        [ -n "$socket" ] || failed sway "$work/sway.log"
        export SWAYSOCK WAYLAND_DISPLAY=$socket
        # sway gives its children the X display of its Xwayland.
        swaymsg exec "echo \$DISPLAY > $work/xdisplay" >/dev/null
        wait_for 100 test -s "$work/xdisplay" || failed "sway's Xwayland" "$work/sway.log"
        export DISPLAY=$(head -n1 "$work/xdisplay")
        wait_for 100 xprop -root || failed Xwayland "$work/sway.log"
        export CLIENT_REAL_SWAY=1 CLIENT_REAL_X11=1 XDG_SESSION_TYPE=wayland
    else
        missing "sway with Xwayland" "sway xwayland"
    fi
elif [ "$want_kwin" = 1 ]; then
    if command -v kwin_wayland_wrapper >/dev/null && command -v kwin_wayland >/dev/null; then
        mkdir -p "$work/kwin"
        cp "$(command -v kwin_wayland_wrapper)" "$(command -v kwin_wayland)" "$work/kwin/"
        PATH=$work/kwin:$PATH QT_QPA_PLATFORM= kwin_wayland_wrapper --virtual --xwayland \
            --width 1280 --height 800 >"$work/kwin.log" 2>&1 &
        pids+=($!)
        wait_for 150 sh -c 'ls "$XDG_RUNTIME_DIR" | grep -qE "^wayland-[0-9]+$"' ||
            failed kwin "$work/kwin.log"
        export WAYLAND_DISPLAY=$(ls "$XDG_RUNTIME_DIR" | grep -E '^wayland-[0-9]+$' | head -n1)
        export CLIENT_REAL_KWIN=1 XDG_SESSION_TYPE=wayland
    else
        missing "KWin" "kwin-wayland"
    fi
elif command -v Xvfb >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_for 100 test -s "$work/display" || failed Xvfb "$work/xvfb.log"
    export DISPLAY=":$(head -n1 "$work/display")"
    wait_for 50 xprop -root || failed Xvfb "$work/xvfb.log"
    export CLIENT_REAL_X11=1 QT_QPA_PLATFORM=xcb
else
    missing Xvfb xvfb
fi

if [ "$want_openbox" = 1 ] && [ -n "${CLIENT_REAL_X11:-}" ]; then
    if command -v openbox >/dev/null; then
        # A busy machine now and then makes a first start fail: try again.
        for _ in 1 2 3; do
            openbox --sm-disable >"$work/openbox.log" 2>&1 &
            pids+=($!)
            if wait_for 50 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'; then
                export CLIENT_REAL_OPENBOX=1
                break
            fi
        done
        [ -n "${CLIENT_REAL_OPENBOX:-}" ] || failed openbox "$work/openbox.log"
    else
        missing openbox openbox
    fi
fi

# The daemons' names in Chinese come from a zh_CN locale, built here without installing it.
# The daemons' names in Chinese come from a zh_CN (or zh_TW) locale, built here without
# installing it.
build_locale() {
    local name=$1
    case "$name" in
    C | C.* | POSIX) return ;;
    esac
    if [ ! -d "$work/locale/$name" ]; then
        mkdir -p "$work/locale"
        localedef -i "${name%%.*}" -f UTF-8 "$work/locale/$name" >/dev/null 2>&1 || true
    fi
}

if [ "$want_fcitx5" = 1 ] && [ -n "${CLIENT_REAL_X11:-}" ]; then
    if command -v fcitx5 >/dev/null; then
        # fcitx5 rewrites its profile when it exits: a fresh one every time.
        mkdir -p "$XDG_CONFIG_HOME/fcitx5"
        if [ "$fcitx5_groups" = 1 ]; then
            cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=五笔
Default Layout=us
DefaultIM=wbx

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=wbx
Layout=

[Groups/1]
Name=拼音
Default Layout=us
DefaultIM=pinyin

[Groups/1/Items/0]
Name=keyboard-us
Layout=

[Groups/1/Items/1]
Name=pinyin
Layout=

[GroupOrder]
0=五笔
1=拼音
PROFILE
        else
            cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=wbx

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=wbx
Layout=

[Groups/0/Items/2]
Name=pinyin
Layout=

[GroupOrder]
0=Default
PROFILE
            printf '[Behavior]\nShareInputState=All\n' >"$XDG_CONFIG_HOME/fcitx5/config"
        fi
        # An English locale: the client must find Wubi whatever language the desktop runs in.
        LANG=C.UTF-8 LC_ALL= fcitx5 --disable=ibusfrontend,wayland,waylandim \
            >"$work/fcitx5.log" 2>&1 &
        pids+=($!)
        wait_for 100 has_owner org.fcitx.Fcitx5 || failed fcitx5 "$work/fcitx5.log"
        export CLIENT_REAL_FCITX5=1
        [ "$fcitx5_groups" = 1 ] && export CLIENT_REAL_FCITX5_GROUPS=1
    else
        missing fcitx5 fcitx5
    fi
fi

if [ "$want_fcitx4" = 1 ] && [ -n "${CLIENT_REAL_X11:-}" ]; then
    fcitx4=${CLIENT_FCITX4_ROOT:-$(dirname "$(realpath "$0")")/../../.deps/fcitx4}
    if [ -x "$fcitx4/usr/bin/fcitx" ]; then
        mkdir -p "$XDG_CONFIG_HOME/fcitx"
        printf '[Profile]\nEnabledIMList=fcitx-keyboard-us:True,wubi:True\n' \
            >"$XDG_CONFIG_HOME/fcitx/profile"
        # The client finds fcitx 4's files and its Qt 6 plugin where they were unpacked.
        export FCITXDIR=$fcitx4/usr
        export QT_PLUGIN_PATH=$fcitx4/usr/lib/x86_64-linux-gnu/qt6/plugins
        LD_LIBRARY_PATH=$fcitx4/usr/lib/x86_64-linux-gnu LANG=C.UTF-8 LC_ALL= \
            "$fcitx4/usr/bin/fcitx" -D >"$work/fcitx4.log" 2>&1 &
        pids+=($!)
        wait_for 100 has_owner org.fcitx.Fcitx || failed fcitx "$work/fcitx4.log"
        export CLIENT_REAL_FCITX4=1
    else
        missing "fcitx 4 unpacked" "scripts/fcitx4-unpack.sh"
    fi
fi

if [ "$want_ibus" = 1 ] && [ -n "${CLIENT_REAL_X11:-}" ]; then
    if command -v ibus-daemon >/dev/null && [ -f /usr/share/ibus-table/tables/wubi-haifeng86.db ]; then
        build_locale "$ibus_locale"
        # The engines the student has set up live in GLib's settings; a key file stands in
        # for the desktop's settings store.
        export GSETTINGS_BACKEND=keyfile
        mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
        if [ "$ibus_gnome" = 1 ]; then
            cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<'KEYFILE'
[org/gnome/desktop/input-sources]
sources=[('xkb', 'us'), ('ibus', 'table:wubi-jidian86'), ('ibus', 'table:wubi-haifeng86')]
KEYFILE
            export CLIENT_REAL_IBUS_GNOME=1
        else
            cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<'KEYFILE'
[desktop/ibus/general]
preload-engines=['xkb:us::eng', 'table:wubi-haifeng86', 'table:wubi-jidian86']
KEYFILE
        fi
        export CLIENT_REAL_IBUS_LOCALE=$ibus_locale
        LOCPATH=$work/locale LANG=$ibus_locale LC_ALL= ibus-daemon --cache=refresh \
            --panel=disable --emoji-extension=disable --config=disable >"$work/ibus.log" 2>&1 &
        pids+=($!)
        wait_for 300 ibus list-engine || failed ibus-daemon "$work/ibus.log"
        export CLIENT_REAL_IBUS=1
    else
        missing "ibus-daemon with the Wubi tables" "ibus ibus-table-wubi"
    fi
fi

"$@"
