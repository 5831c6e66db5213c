// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/widgets/RootGlyphs.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>
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

// Key and character -> glyph number, from the list the data generator writes.
const QHash<QString, int> &practicePictures()
{
    static const QHash<QString, int> pictures = [] {
        QHash<QString, int> read;
        QFile file(QStringLiteral(":/glyphs/practice-pictures.txt"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return read;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (f.size() == 3 && !line.startsWith(QLatin1Char('#')) && f[0].size() == 1 &&
                f[1].size() == 1)
                read.insert(f[0].toUpper() + f[1], f[2].toInt());
        }
        return read;
    }();
    return pictures;
}

} // namespace

namespace rootglyphs {

int practicePicture(QChar key, QChar root)
{
    return practicePictures().value(QString(key.toUpper()) + root, 0);
}

QPixmap practiceGlyph(int number)
{
    if (number < 1 || number > kGlyphCount)
        return {};
    QPixmap large =
        loadCached(QStringLiteral(":/glyphs/zg%1@4x.png").arg(number, 3, 10, QLatin1Char('0')));
    if (!large.isNull()) {
        large.setDevicePixelRatio(2.0);
        return large;
    }
    large = loadCached(glyphPath(number, true));
    return large;
}

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
