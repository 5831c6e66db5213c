#include "hints/widgets/RootGlyphs.h"

#include <QFile>
#include <QGuiApplication>
#include <QPixmapCache>

namespace {

constexpr int kGlyphCount = 206;
// Glyphs 201 to 206 repeat the roots of key M, glyphs 69 to 74.
constexpr int kRepeatFirst = 201;
constexpr int kRepeatOffset = 201 - 69;

QString glyphPath(int number, bool doubleSize)
{
    return QStringLiteral(":/glyphs/zg%1%2.png")
        .arg(number, 3, 10, QLatin1Char('0'))
        .arg(doubleSize ? QStringLiteral("@2x") : QString());
}

QPixmap loadCached(const QString &path)
{
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    if (!QFile::exists(path))
        return {};
    pixmap.load(path);
    if (!pixmap.isNull())
        QPixmapCache::insert(path, pixmap);
    return pixmap;
}

} // namespace

namespace rootglyphs {

QPixmap glyph(int number)
{
    return glyph(number, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

QPixmap glyph(int number, qreal devicePixelRatio)
{
    if (number < 1 || number > kGlyphCount)
        return {};
    const bool doubleSize = devicePixelRatio > 1.0;
    auto load = [doubleSize](int n) {
        if (doubleSize) {
            QPixmap sharp = loadCached(glyphPath(n, true));
            if (!sharp.isNull()) {
                sharp.setDevicePixelRatio(2.0);
                return sharp;
            }
        }
        return loadCached(glyphPath(n, false));
    };
    QPixmap pixmap = load(number);
    if (pixmap.isNull() && number >= kRepeatFirst)
        pixmap = load(number - kRepeatOffset);
    return pixmap;
}

} // namespace rootglyphs
