#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when the logic reaches for widgets: a file outside ui/, app/, bench/, tools/, tests/,
# the widgets/ folders and the console's program (teacher/main.cpp) that includes a Qt Widgets
# header or a header of ui/ or of a widgets/ folder, or a logic folder's CMakeLists.txt that
# links Qt6::Widgets.
set -euo pipefail
cd "$(dirname "$0")/.."

# Every Qt Widgets header name, from the installed module when it is there; the usual ones
# otherwise, so the check still means something on a machine without the development files.
widgets_dir=$(find /usr/include -maxdepth 4 -type d -path '*qt6/QtWidgets' 2>/dev/null | head -n 1)
if [[ -n "$widgets_dir" ]]; then
    mapfile -t names < <(find "$widgets_dir" -maxdepth 1 -type f -printf '%f\n' | sed 's/\.h$//' | sort -u)
else
    names=(QApplication QWidget QDialog QMessageBox QLabel QPushButton QCheckBox QComboBox
           QProgressBar QAbstractScrollArea QAbstractButton QLineEdit QPlainTextEdit QStatusBar
           QScrollBar QLayout QtWidgets)
fi
widget_pattern=$(printf '%s\n' "${names[@]}" | sed 's/[.[\*^$]/\\&/g' | paste -sd'|')

status=0
while IFS= read -r -d '' file; do
    case "$file" in
        ./ui/* | ./app/* | ./teacher/main.cpp | ./bench/* | ./tools/* | ./tests/* | */widgets/* | ./build* | ./.git/*)
            continue ;;
    esac
    while IFS= read -r hit; do
        echo "$file: includes widgets from logic: $hit" >&2
        status=1
    done < <(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]((QtWidgets/)?(${widget_pattern})(\.h)?|ui/[^\">]*|([^\">]*/)?widgets/[^\">]*)[\">]" "$file" || true)
done < <(find . \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \) -print0)

for cmake in core/CMakeLists.txt net/CMakeLists.txt typing/CMakeLists.txt hints/CMakeLists.txt \
             env/CMakeLists.txt practice/CMakeLists.txt client/CMakeLists.txt server/CMakeLists.txt; do
    if [[ -f "$cmake" ]] && grep -nE 'Qt6?::Widgets|\bWidgets\b' "$cmake" >&2; then
        echo "$cmake: a logic target links Qt Widgets" >&2
        status=1
    fi
done

if [[ $status -eq 0 ]]; then
    echo "layers: the logic includes no widgets"
fi
exit $status
