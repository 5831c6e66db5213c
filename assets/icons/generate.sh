#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Renders the application icons (chengling-client.svg, drawn from assets/pictures/logo.svg, and
# the teacher's console's chengling-teacher.svg) at the sizes of the hicolor icon theme. The
# PNGs are committed; run this after changing an SVG.
# Needs rsvg-convert (Debian package librsvg2-bin) and optipng when present.
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }
for icon in chengling-client chengling-teacher; do
    for size in 16 22 24 32 48 64 128 256 512; do
        rsvg-convert -w "$size" -h "$size" "$icon.svg" -o "$icon-$size.png"
    done
done
echo "Rendered: $(ls chengling-*-*.png | tr '\n' ' ')"
