#pragma once

#include <QPixmap>

// The pictures of the numbered root glyphs, built into the client.
namespace rootglyphs {

// The glyph with the given number (1-206), or a null pixmap for any other number or when the
// picture is not built in. The sharper picture is taken for device pixel ratios above 1.
QPixmap glyph(int number);
QPixmap glyph(int number, qreal devicePixelRatio);

} // namespace rootglyphs
