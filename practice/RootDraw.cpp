// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/RootDraw.h"

#include "core/Numeric.h"

#include <QRandomGenerator>

namespace rootdraw {

int position(double r, int length)
{
    const double p = numeric::roundHalfEven(r * length);
    return p >= 1 && p <= length ? static_cast<int>(p) : 0;
}

QString exercise(const QString &pool, int count, const Random &random)
{
    QString drawn;
    const int length = int(pool.size());
    // With nothing to draw from, no position is ever accepted: the exercise stays empty
    // instead of drawing forever.
    if (length == 0 || count <= 0)
        return drawn;
    drawn.reserve(count);
    for (int i = 0; i < count; ++i) {
        int p = 0;
        while (p == 0)
            p = position(random(), length);
        drawn += pool.at(p - 1);
    }
    return drawn;
}

Random systemRandom()
{
    return [] { return QRandomGenerator::global()->generateDouble(); };
}

} // namespace rootdraw
