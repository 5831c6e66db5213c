// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Numeric.h"

#include <cfenv>
#include <cmath>

namespace numeric {

std::optional<double> parse(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Only plain decimal notation: digits, one point, a sign in front, an exponent.
    for (QChar c : trimmed) {
        if (!(c.isDigit() && c.unicode() < 128) && c != u'.' && c != u'+' && c != u'-' &&
            c != u'e' && c != u'E')
            return std::nullopt;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double roundHalfEven(double value)
{
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return rounded;
}

std::optional<int> toIntInRange(const QString &text, int min, int max)
{
    const std::optional<double> value = parse(text);
    if (!value)
        return std::nullopt;
    const double rounded = roundHalfEven(*value);
    if (rounded < min || rounded > max)
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace numeric
