// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/widgets/RootChart.h"

#include "core/widgets/Fonts.h"
#include "hints/RootKeys.h"
#include "hints/widgets/RootGlyphs.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>
#include <vector>

namespace {

struct KeyInfo
{
    char letter;
    int zone; // 1 横 2 竖 3 撇 4 捺 5 折; 0 for Z, which carries no roots
    int position;
    char16_t name; // the key name character, the key's main root
    const char16_t *verse;
};

constexpr std::array<KeyInfo, 26> kKeys{{
    {'G', 1, 1, u'王', u"王旁青头戋（兼）五一"},
    {'F', 1, 2, u'土', u"土士二干十寸雨"},
    {'D', 1, 3, u'大', u"大犬三羊古石厂"},
    {'S', 1, 4, u'木', u"木丁西"},
    {'A', 1, 5, u'工', u"工戈草头右框七"},
    {'H', 2, 1, u'目', u"目具上止卜虎皮"},
    {'J', 2, 2, u'日', u"日早两竖与虫依"},
    {'K', 2, 3, u'口', u"口与川，字根稀"},
    {'L', 2, 4, u'田', u"田甲方框四车力"},
    {'M', 2, 5, u'山', u"山由贝，下框几"},
    {'T', 3, 1, u'禾', u"禾竹一撇双人立，反文条头共三一"},
    {'R', 3, 2, u'白', u"白手看头三二斤"},
    {'E', 3, 3, u'月', u"月彡（衫）乃用家衣底"},
    {'W', 3, 4, u'人', u"人和八，三四里"},
    {'Q', 3, 5, u'金', u"金勺缺点无尾鱼，犬旁留叉儿一点夕，氏无七"},
    {'Y', 4, 1, u'言', u"言文方广在四一，高头一捺谁人去"},
    {'U', 4, 2, u'立', u"立辛两点六门疒"},
    {'I', 4, 3, u'水', u"水旁兴头小倒立"},
    {'O', 4, 4, u'火', u"火业头，四点米"},
    {'P', 4, 5, u'之', u"之宝盖，摘礻（示）衤（衣）"},
    {'N', 5, 1, u'已', u"已半巳满不出己，左框折尸心和羽"},
    {'B', 5, 2, u'子', u"子耳了也框向上"},
    {'V', 5, 3, u'女', u"女刀九臼山朝西"},
    {'C', 5, 4, u'又', u"又巴马，丢矢矣"},
    {'X', 5, 5, u'纟', u"慈母无心弓和匕，幼无力"},
    {'Z', 0, 0, u'\0', u""},
}};

// Text stand-ins for roots 1-200, used only where a glyph picture is missing: the root itself
// where a character or radical exists, else the character it comes from.
constexpr char16_t kRootText[] = u"工匚廾艹廿艹七弋戈木丁西大犬古石三三夫镸厂丆ナナ土士干二廿十雨寸"
                                 u"王龶一五戋目且丨卜⺊虍上止龰虍日曰曰早刂刂川刂虫口川川田甲囗四罒"
                                 u"罒皿车力山由贝冂冎几金钅鱼儿勹犭乂儿ク夕夕氏人亻八癶癶月月丹用彡"
                                 u"爫乃豕豕衣衣豸白手龵扌丿反气斤斤禾禾竹丿⺈攵夂彳言讠文方丶亠亠广"
                                 u"主立六立辛冫丬丷䒑疒门水氺⺍水氵⺍兴小⺌⺌火业业灬米之辶廴冖宀礻"
                                 u"纟幺幺母弓匕匕又スマ厶巴马女刀九巛彐臼子孑了巜也耳阝卩㔾凵已巳己"
                                 u"コ乙尸尸心忄⺗羽";
static_assert(std::size(kRootText) == 201, "one stand-in per root 1-200");

const std::array<const char *, 3> kRows{"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr std::array<qreal, 3> kRowIndent{0, 25, 60};
constexpr qreal kMargin = 13;
constexpr qreal kKeyWidth = 98;
constexpr qreal kKeyHeight = 88;
constexpr qreal kGap = 6;
constexpr qreal kKeyboardTop = 38;
constexpr qreal kVerseTop = kKeyboardTop + 3 * kKeyHeight + 2 * kGap + 6;
constexpr qreal kVerseFontSize = 12.5;

const std::array<QString, 6> kZoneNames{QString(),
                                        QStringLiteral("横区"),
                                        QStringLiteral("竖区"),
                                        QStringLiteral("撇区"),
                                        QStringLiteral("捺区"),
                                        QStringLiteral("折区")};
const std::array<QColor, 6> kZoneFill{QColor(238, 238, 238), QColor(253, 226, 226),
                                      QColor(255, 241, 204), QColor(223, 242, 223),
                                      QColor(220, 235, 250), QColor(235, 225, 245)};
const std::array<QColor, 6> kZoneInk{QColor(140, 140, 140), QColor(176, 60, 56),
                                     QColor(160, 120, 20),  QColor(50, 128, 50),
                                     QColor(45, 100, 160),  QColor(110, 80, 150)};

const KeyInfo *keyInfo(QChar letter)
{
    for (const KeyInfo &key : kKeys) {
        if (QLatin1Char(key.letter) == letter.toUpper())
            return &key;
    }
    return nullptr;
}

QFont pixelFont(const QString &face, qreal pixels, bool bold = false)
{
    QFont font = clientFont(face, 10, bold);
    font.setPixelSize(qMax(1, qRound(pixels)));
    font.setHintingPreference(QFont::PreferNoHinting); // scaled text keeps its proportions
    return font;
}

// The roots of a key after its main root, which the key shows as its name character.
std::vector<int> secondaryRoots(QChar letter)
{
    std::vector<int> numbers;
    bool first = true;
    for (int n = 1; n <= 200; ++n) {
        if (rootkeys::rootKey(n) != letter.toLower())
            continue;
        if (!first)
            numbers.push_back(n);
        first = false;
    }
    return numbers;
}

struct VerseLine
{
    QString code; // "11 G" on the first line of a key's verse, empty on its continuations
    QString text;
};

// The verses of a zone in position order, wrapped to the panel: a verse breaks after a comma
// when its next phrase does not fit, and inside a phrase only when the phrase alone is too long.
std::vector<VerseLine> wrapZone(int zone)
{
    const QFontMetricsF metrics(pixelFont(QStringLiteral("黑体"), kVerseFontSize));
    const qreal width = RootChart::versePanelRect(zone).width() - 10 - 34;
    std::vector<VerseLine> lines;
    for (int position = 1; position <= 5; ++position) {
        const KeyInfo *key = nullptr;
        for (const KeyInfo &candidate : kKeys) {
            if (candidate.zone == zone && candidate.position == position)
                key = &candidate;
        }
        if (!key)
            continue;
        QStringList phrases;
        QString phrase;
        for (QChar c : QString::fromUtf16(key->verse)) {
            phrase += c;
            if (c == u'，') {
                phrases << phrase;
                phrase.clear();
            }
        }
        if (!phrase.isEmpty())
            phrases << phrase;

        QString current;
        auto flush = [&] {
            lines.push_back({QString(), current});
            current.clear();
        };
        const qsizetype first = qsizetype(lines.size());
        for (const QString &p : phrases) {
            if (!current.isEmpty() && metrics.horizontalAdvance(current + p) > width)
                flush();
            for (QChar c : p) {
                if (!current.isEmpty() && metrics.horizontalAdvance(current + c) > width)
                    flush();
                current += c;
            }
        }
        if (!current.isEmpty())
            flush();
        lines[first].code = QStringLiteral("%1%2 %3").arg(zone).arg(position).arg(key->letter);
    }
    return lines;
}

} // namespace

RootChart::RootChart(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRectF RootChart::keyRect(QChar letter)
{
    for (size_t row = 0; row < kRows.size(); ++row) {
        const int index = QByteArray(kRows[row]).indexOf(letter.toUpper().toLatin1());
        if (index >= 0 && letter.isLetter())
            return {kMargin + kRowIndent[row] + index * (kKeyWidth + kGap),
                    kKeyboardTop + row * (kKeyHeight + kGap), kKeyWidth, kKeyHeight};
    }
    return {};
}

QString RootChart::verse(QChar letter)
{
    const KeyInfo *key = keyInfo(letter);
    return key ? QString::fromUtf16(key->verse) : QString();
}

QRectF RootChart::versePanelRect(int zone)
{
    if (zone < 1 || zone > 5)
        return {};
    const qreal width = (kDesignWidth - 2 * kMargin - 4 * kGap) / 5;
    return {kMargin + (zone - 1) * (width + kGap), kVerseTop, width, kDesignHeight - kVerseTop - 4};
}

QStringList RootChart::verseLines(int zone)
{
    QStringList lines;
    for (const VerseLine &line : wrapZone(zone))
        lines << (line.code.isEmpty() ? line.text : line.code + u' ' + line.text);
    return lines;
}

QTransform RootChart::designTransform() const
{
    const qreal scale = qMin(width() / kDesignWidth, height() / kDesignHeight);
    QTransform transform;
    transform.translate((width() - kDesignWidth * scale) / 2,
                        (height() - kDesignHeight * scale) / 2);
    transform.scale(scale, scale);
    return transform;
}

void RootChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (width() < 2 || height() < 2)
        return;
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    const QTransform transform = designTransform();
    painter.setTransform(transform);

    painter.setPen(Qt::black);
    painter.setFont(pixelFont(QStringLiteral("黑体"), 22, true));
    painter.drawText(QRectF(0, 4, kDesignWidth, 30), Qt::AlignCenter,
                     QStringLiteral("五笔字根表 86版"));

    for (const KeyInfo &key : kKeys)
        paintKey(painter, QLatin1Char(key.letter), transform.m11());
    for (int zone = 1; zone <= 5; ++zone)
        paintVerses(painter, zone);
    paintLegend(painter);
}

void RootChart::paintKey(QPainter &painter, QChar letter, qreal scale) const
{
    const KeyInfo *key = keyInfo(letter);
    const QRectF box = keyRect(letter);
    painter.setPen(QPen(kZoneInk[key->zone], 1.2));
    painter.setBrush(kZoneFill[key->zone]);
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);

    painter.setPen(Qt::black);
    painter.setFont(pixelFont(QStringLiteral("黑体"), 18, true));
    painter.drawText(QRectF(box.right() - 30, box.top() + 2, 25, 20),
                     Qt::AlignRight | Qt::AlignVCenter, QString(letter));
    if (key->zone == 0) {
        painter.setPen(kZoneInk[0]);
        painter.setFont(pixelFont(QStringLiteral("黑体"), 15));
        painter.drawText(box.adjusted(0, 20, 0, 0), Qt::AlignCenter, QStringLiteral("学习键"));
        return;
    }
    painter.setFont(pixelFont(QStringLiteral("黑体"), 24, true));
    painter.drawText(QRectF(box.left() + 5, box.top() + 2, 32, 30), Qt::AlignCenter,
                     QString(QChar(key->name)));
    painter.setPen(kZoneInk[key->zone]);
    painter.setFont(pixelFont(QStringLiteral("黑体"), 11));
    painter.drawText(QRectF(box.right() - 30, box.top() + 20, 25, 13),
                     Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1%2").arg(key->zone).arg(key->position));

    // The other roots fill the rest of the key, as large as they fit, up to 24 high.
    const std::vector<int> roots = secondaryRoots(letter);
    const QRectF area(box.left() + 5, box.top() + 35, box.width() - 10, box.height() - 38);
    qreal cellHeight = 24;
    int columns = 1;
    for (; cellHeight > 8; cellHeight -= 0.5) {
        columns = qMax(1, int(area.width() / (cellHeight * 0.95 + 1)));
        const int rows = (int(roots.size()) + columns - 1) / columns;
        if (rows * cellHeight <= area.height())
            break;
    }
    const qreal cellWidth = cellHeight * 0.95 + 1;
    const qreal glyphWidth = cellHeight * 19.0 / 20.0;
    const qreal ratio = scale * devicePixelRatioF() * cellHeight / 20.0;
    for (size_t i = 0; i < roots.size(); ++i) {
        const QRectF cell(area.left() + (i % columns) * cellWidth,
                          area.top() + (i / columns) * cellHeight, cellWidth, cellHeight);
        const QRectF target(cell.center().x() - glyphWidth / 2, cell.top(), glyphWidth, cellHeight);
        const QPixmap picture = rootglyphs::glyph(roots[i], ratio);
        if (!picture.isNull()) {
            // The pictures have a light background; multiplying lets the key's colour through.
            painter.setCompositionMode(QPainter::CompositionMode_Multiply);
            painter.drawPixmap(target, picture, QRectF(picture.rect()));
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        } else {
            painter.setPen(Qt::black);
            painter.setFont(pixelFont(QStringLiteral("黑体"), cellHeight * 0.8));
            painter.drawText(target, Qt::AlignCenter, QString(QChar(kRootText[roots[i] - 1])));
        }
    }
}

void RootChart::paintVerses(QPainter &painter, int zone) const
{
    const QRectF panel = versePanelRect(zone);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kZoneFill[zone]);
    painter.drawRoundedRect(panel, 5, 5);

    const QFont codeFont = pixelFont(QStringLiteral("黑体"), 11, true);
    const QFont textFont = pixelFont(QStringLiteral("黑体"), kVerseFontSize);
    qreal y = panel.top() + 3;
    for (const VerseLine &line : wrapZone(zone)) {
        if (!line.code.isEmpty()) {
            painter.setPen(kZoneInk[zone]);
            painter.setFont(codeFont);
            painter.drawText(QRectF(panel.left() + 5, y, 34, RootChart::kVerseLineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, line.code);
        }
        painter.setPen(Qt::black);
        painter.setFont(textFont);
        painter.drawText(
            QRectF(panel.left() + 39, y, panel.width() - 44, RootChart::kVerseLineHeight),
            Qt::AlignLeft | Qt::AlignVCenter, line.text);
        y += RootChart::kVerseLineHeight;
    }
}

void RootChart::paintLegend(QPainter &painter) const
{
    // Beside the short bottom row: the five zones with their stroke, and the Z key's use.
    const QRectF m = keyRect(u'M');
    const qreal left = m.right() + 3 * kGap;
    const qreal top = m.top() + 2;
    const std::array<QString, 6> strokes{QString(),
                                         QStringLiteral("一"),
                                         QStringLiteral("丨"),
                                         QStringLiteral("丿"),
                                         QStringLiteral("丶"),
                                         QStringLiteral("乙")};
    painter.setFont(pixelFont(QStringLiteral("黑体"), 12.5));
    for (int zone = 1; zone <= 5; ++zone) {
        const qreal x = left + ((zone - 1) % 3) * 80;
        const qreal y = top + ((zone - 1) / 3) * 22;
        painter.setPen(QPen(kZoneInk[zone], 1));
        painter.setBrush(kZoneFill[zone]);
        painter.drawRoundedRect(QRectF(x, y + 3, 14, 14), 3, 3);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + 18, y, 62, 20), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 %2 %3").arg(zone).arg(kZoneNames[zone], strokes[zone]));
    }
    painter.setPen(QColor(90, 90, 90));
    painter.setFont(pixelFont(QStringLiteral("黑体"), 11.5));
    painter.drawText(QRectF(left, top + 46, kDesignWidth - kMargin - left, 40),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QStringLiteral("区位号：区号在前，位号在后\nZ：学习键，可代替任一字根"));
}
