#!/usr/bin/env bash
# Renders the application icon (chengling-client.svg, drawn from assets/pictures/logo.svg) at
# the sizes of the hicolor icon theme. The PNGs are committed; run this after changing the SVG.
# Needs rsvg-convert (Debian package librsvg2-bin) and optipng when present.
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256 512; do
    rsvg-convert -w "$size" -h "$size" chengling-client.svg -o "chengling-client-$size.png"
done
echo "Rendered: $(ls chengling-client-*.png | tr '\n' ' ')"
