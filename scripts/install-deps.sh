#!/usr/bin/env bash
# Installs the Debian 12 packages the client, its tools and its tests need. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev qt6-qpa-plugins
    fonts-noto-cjk
    xvfb xauth x11-utils imagemagick xdotool
    # Building and checking the Debian packages (scripts/package-check.sh).
    file lintian desktop-file-utils appstream man-db
    # The fuzzers: clang's libFuzzer with its sanitizers.
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please run as root (apt-get needs it)." >&2; exit 1; }
    SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
