#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Unpacks fcitx 4 (the daemon, its D-Bus and X11 modules, the Wubi table and its Qt 6 plugin)
# from Debian's packages into a private folder, without installing them: Debian's fcitx
# conflicts with fcitx5, which the client's tests also need. The tests run this daemon in a
# session of their own (tests/realenv/session.sh --fcitx4). Safe to run again.
#
#   scripts/fcitx4-unpack.sh [folder]     (default: .deps/fcitx4 in this checkout)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(realpath -m "${1:-.deps/fcitx4}")
packages=(fcitx-bin fcitx-data fcitx-modules fcitx-module-dbus fcitx-module-x11 fcitx-table
          fcitx-table-wubi libfcitx-core0 libfcitx-config4 libfcitx-utils0 fcitx-frontend-qt6
          libgettextpo0 libpresage1v5)
marker="$root/.unpacked"
if [ -f "$marker" ] && [ "$(cat "$marker")" = "${packages[*]}" ]; then
    exit 0
fi
download=$(mktemp -d)
trap 'rm -rf "$download"' EXIT
chmod 755 "$download"
# apt-get download as root warns that it cannot drop to its own user in a private folder.
fetch() { (cd "$download" && apt-get download -qq "${packages[@]}" 2> >(grep -v 'unsandboxed' >&2)); }
if ! fetch; then
    # The package lists may be missing or old on a fresh machine.
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    fetch
fi
rm -rf "$root"
mkdir -p "$root"
for deb in "$download"/*.deb; do
    dpkg-deb -x "$deb" "$root"
done
# With FCITXDIR set, fcitx looks for its addons in <prefix>/lib/fcitx.
ln -sfn x86_64-linux-gnu/fcitx "$root/usr/lib/fcitx"
echo "${packages[*]}" >"$marker"
echo "fcitx 4 unpacked into $root"
