// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>

// The pictures of the numbered root glyphs, built into the client.
namespace rootglyphs {

// The glyph with the given number (1-206), or a null pixmap for any other number or when the
// picture is not built in. The sharper picture is taken for device pixel ratios above 1.
QPixmap glyph(int number);
QPixmap glyph(int number, qreal devicePixelRatio);

// Root practice shows a few roots of its table as pictures, where the character standing for
// the root is one a learner would type with another key (足 stands for the bottom of 足 on H, but
// 足 itself is typed with K). The glyph number for `root` in the row of `key`, or 0.
int practicePicture(QChar key, QChar root);
// The largest picture of glyph `number`, to be drawn as large as the practice strip's
// characters: the 76 x 80 drawing where there is one, else the 38 x 40 one; 38 x 40 logical
// pixels either way. Null for an unknown number.
QPixmap practiceGlyph(int number);

} // namespace rootglyphs
