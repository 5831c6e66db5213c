// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <functional>

// Drawing the roots of an exercise from a pool of root characters.
namespace rootdraw {

// A uniform random number in [0, 1).
using Random = std::function<double()>;

// The position (1 to length) that the random number r picks in a pool of `length` roots:
// r × length rounded to the nearest integer, halves to even. 0 when that position lies outside
// the pool, so the caller draws again. The rounding gives the last root of the pool half the
// chance of each other one.
int position(double r, int length);

// `count` roots drawn independently from `pool`, in the order drawn. An empty pool or a
// count of 0 or less gives an empty exercise.
QString exercise(const QString &pool, int count, const Random &random);

// Random numbers from the system's generator.
Random systemRandom();

} // namespace rootdraw
