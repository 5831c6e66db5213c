#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when a source file is in no target: every .cpp and .h must be named in the
# CMakeLists.txt of its folder or of a folder above it (the source lists are written out, so a
# new file needs its line). Fails too when a source or build file (C++, shell, Python, CMake)
# lacks its licence line near the top: "SPDX-License-Identifier: ..." in its first five lines.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
while IFS= read -r -d '' file; do
    file=${file#./}
    dir=$(dirname "$file")
    found=0
    while :; do
        if [[ -f "$dir/CMakeLists.txt" ]]; then
            relative=${file#"$dir"/}
            [[ "$dir" == . ]] && relative=$file
            if grep -qE "(^|[[:space:]/(])${relative//./\\.}([[:space:])]|$)" "$dir/CMakeLists.txt"; then
                found=1
                break
            fi
        fi
        [[ "$dir" == . ]] && break
        dir=$(dirname "$dir")
    done
    if ((found == 0)); then
        echo "$file: in no CMakeLists.txt source list" >&2
        status=1
    fi
done < <(find . \( -path ./.git -o -path './build*' -o -path ./.deps \) -prune -o \
              \( -name '*.cpp' -o -name '*.h' \) -print0)

while IFS= read -r -d '' file; do
    if ! head -n 5 "$file" | grep -q 'SPDX-License-Identifier: '; then
        echo "${file#./}: no SPDX-License-Identifier line at the top" >&2
        status=1
    fi
done < <(find . \( -path ./.git -o -path './build*' -o -path ./.deps -o -path ./fuzz/corpus \) -prune -o \
              \( -name '*.cpp' -o -name '*.h' -o -name '*.h.in' -o -name '*.sh' -o -name '*.py' \
                 -o -name '*.js' -o -name '*.cmake' -o -name CMakeLists.txt -o -path ./.ci/run \) -print0)
exit $status
