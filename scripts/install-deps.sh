#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian 12 packages the client, its tools and its tests need. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev qt6-qpa-plugins
    # The teacher's console keeps its results in SQLite through Qt SQL, copies them into a
    # school's PostgreSQL database (Qt's PostgreSQL driver), writes spreadsheets with
    # libxlsxwriter; its tests run a PostgreSQL 15 server of their own, read the spreadsheets
    # back with openpyxl and the PDF reports with poppler's tools.
    libqt6sql6-sqlite libqt6sql6-psql libxlsxwriter-dev postgresql-15 python3-openpyxl
    poppler-utils
    libxcb1-dev libglib2.0-dev
    fonts-noto-cjk
    # Qt's own texts in the student's language (standard buttons 是/否/确定, text-field menus).
    qt6-translations-l10n
    xvfb xauth x11-utils imagemagick xdotool
    # Building and checking the Debian packages (scripts/package-check.sh).
    file lintian desktop-file-utils appstream man-db
    # The fuzzers: clang's libFuzzer with its sanitizers; clang-format for the style check.
    clang libclang-rt-14-dev clang-format
    # Chinese input as a student desktop has it: fcitx5 with Wubi and Pinyin and its Qt 6
    # plugin, and IBus with the Wubi tables (Qt ships IBus's plugin). The tests also drive them
    # in a private session with a window manager, a D-Bus session bus and typed keys.
    fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6
    ibus ibus-table-wubi gsettings-desktop-schemas libsqlite3-dev
    openbox dbus-daemon locales
    # Wayland: the window lists of the compositors (libwayland, the protocols Debian ships and
    # wayland-scanner), and real Wayland sessions for the tests: headless sway with Xwayland,
    # Qt's Wayland platform, a GTK window from Python, grim for pictures of the desktop.
    libwayland-dev libwayland-bin wayland-protocols plasma-wayland-protocols
    sway xwayland qt6-wayland python3-gi gir1.2-gtk-3.0 grim
    # KDE Plasma's compositor for the same tests (its window list; kbuildsycoca5 lets it find
    # the desktop entry that asks for that list).
    kwin-wayland libkf5service-bin
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    # fcitx 4 conflicts with fcitx5: the tests run it from its packages, unpacked privately.
    exec "$(dirname "$0")/fcitx4-unpack.sh"
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please run as root (apt-get needs it)." >&2; exit 1; }
    SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

"$(dirname "$0")/fcitx4-unpack.sh"
