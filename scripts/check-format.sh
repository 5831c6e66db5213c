#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when a C++ file of the tree differs from what clang-format makes of it with the
# project's .clang-format; lists the files. scripts/check-format.sh --fix formats them.
# Debian 12's clang-format (14) is the reference: another version may wrap a line differently.
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format || true)
if [[ -z "$format" ]]; then
    echo "check-format: clang-format is not installed (apt-get install clang-format)" >&2
    exit 1
fi

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null ||
                     find . \( -path './build*' -o -path ./.git -o -path ./.deps \) -prune -o \
                          \( -name '*.cpp' -o -name '*.h' \) -print)
if [[ "${1:-}" == --fix ]]; then
    "$format" -i "${files[@]}"
    exit 0
fi

status=0
for file in "${files[@]}"; do
    if ! "$format" --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "$file: not formatted (scripts/check-format.sh --fix)" >&2
        status=1
    fi
done
exit $status
