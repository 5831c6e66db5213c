// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QString>

// The client's Chinese font faces mapped to installed fonts: 黑体 (a sans face) to
// Noto Sans CJK SC and 宋体 (a serif face) to Noto Serif CJK SC, so Chinese never shows as
// boxes. Sizes are in points.
QFont clientFont(const QString &face, double points, bool bold = false);
