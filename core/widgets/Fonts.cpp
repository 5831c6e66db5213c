// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/Fonts.h"

#include <QStringList>

QFont clientFont(const QString &face, double points, bool bold)
{
    QStringList families;
    if (face == QStringLiteral("宋体"))
        families = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
    else if (face == QStringLiteral("黑体"))
        families = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")};
    else
        families = {face, QStringLiteral("Noto Sans CJK SC")};
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}
