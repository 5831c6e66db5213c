// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// Number rules of the settings file, the dialogs and the server's timing message: a text is
// numeric when, without surrounding blanks, it reads as a decimal number (sign, fraction and
// exponent allowed); values convert to integers rounding to the nearest, halves to even.
namespace numeric {

std::optional<double> parse(const QString &text);
// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);
// The text's value as an integer within [min, max], or nothing when the text is not numeric
// or its rounded value lies outside.
std::optional<int> toIntInRange(const QString &text, int min, int max);

} // namespace numeric
