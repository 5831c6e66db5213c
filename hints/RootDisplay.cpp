#include "hints/RootDisplay.h"

#include "core/Client.h"
#include "hints/CodeTables.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmapCache>

namespace {

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

// The three characters of a root group as a glyph number, or 0 when they are not three
// decimal digits.
int groupNumber(QStringView group)
{
    int value = 0;
    for (QChar c : group) {
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

RootDisplay::RootDisplay(Client &client)
    : m_client(client)
{}

void RootDisplay::DispZG(const QString &iStr)
{
    const QString s = m_client.tables->rootField(iStr);
    if (!s.isEmpty()) {
        for (int k = 0; k < kSlotCount; ++k) {
            if (s.size() < 3 * (k + 1)) {
                showGlyph(k, 0);
                continue;
            }
            const int n = groupNumber(QStringView(s).mid(3 * k, 3));
            // A group that names no glyph ends the display here, unplaced: the slots already
            // filled keep their glyphs and the others what they showed.
            if (n < 1 || n > kGlyphCount)
                return;
            showGlyph(k, n);
        }
    }
    placeSlots();
}

void RootDisplay::ClearZg()
{
    if (QLabel *label = m_client.ui.LBM) {
        label->clear();
        label->adjustSize();
    }
    for (int k = 0; k < kSlotCount; ++k)
        showGlyph(k, 0);
}

int RootDisplay::slotGlyph(int slot) const
{
    return slot >= 0 && slot < kSlotCount ? m_slotGlyph[slot] : 0;
}

QPixmap RootDisplay::glyph(int number)
{
    return glyph(number, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

QPixmap RootDisplay::glyph(int number, qreal devicePixelRatio)
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

void RootDisplay::showGlyph(int slot, int number)
{
    m_slotGlyph[slot] = number;
    QLabel *label = m_client.ui.Imgzg[slot];
    if (!label)
        return;
    label->setProperty("glyphNumber", number);
    if (number == 0)
        label->clear();
    else
        label->setPixmap(glyph(number, label->devicePixelRatioF()));
}

void RootDisplay::placeSlots()
{
    const QLabel *hint = m_client.ui.LBM;
    if (!hint)
        return;
    int left = hint->x() + hint->width() + px(200);
    for (QLabel *slot : m_client.ui.Imgzg) {
        if (!slot)
            return;
        slot->move(left, slot->y());
        left += slot->width() + px(100);
    }
}

int RootDisplay::px(int twips) const
{
    // The window's geometry is designed in twips: 1440 to the inch at its logical DPI.
    const QWidget *window = m_client.ui.window;
    const int dpi = window && window->logicalDpiX() > 0 ? window->logicalDpiX() : 96;
    return qRound(twips * dpi / 1440.0);
}
