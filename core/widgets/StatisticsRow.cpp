// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/StatisticsRow.h"

#include "core/widgets/GapLabel.h"
#include "core/widgets/Geometry.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <array>

namespace {

// Design geometry in twips.
constexpr int kRowTop = 840;
constexpr int kBandTop = 600;
constexpr int kBandHeight = 810;
constexpr int kSpeedLeft = 120;
constexpr int kSpeedValue[] = {840, 840, 795, 260}; // left, top, width, height
constexpr int kTimingFromRight = 7900;
constexpr int kTimingWidths[] = {1440, 1500, 1500}; // the three value boxes
constexpr int kValueHeight = 255;
constexpr int kPairGap = 200;
// What the row keeps free between its parts, and the shortest bar still worth showing.
constexpr int kClearance = 200;
constexpr int kShortestBar = 600;
constexpr int kBandMargin = 60; // above a wrapped row

} // namespace

const QString StatisticsRow::kLongestProgress = QStringLiteral("32767/32767(正确100%)");
const QString StatisticsRow::kLongestTime = QStringLiteral("999分59秒");
const QString StatisticsRow::kLongestTiming = QStringLiteral("限时999分钟");

int StatisticsRow::px(int twips) const
{
    return twipsToPixels(progress, twips);
}

// The progress text's room: the text "T/T(正确100%)" for the total T of the text shown now,
// which is as long as the text gets in this test, or the text itself if it is longer.
int StatisticsRow::progressReserve() const
{
    const QString shown = progress->text();
    const qsizetype slash = shown.indexOf(u'/');
    const qsizetype open = shown.indexOf(u'(', slash + 1);
    QString longest = shown;
    if (slash >= 0 && open > slash) {
        const QString total = shown.mid(slash + 1, open - slash - 1);
        longest = total + u'/' + total + QStringLiteral("(正确100%)");
    }
    const QFontMetrics metrics(progress->font());
    return std::max(metrics.horizontalAdvance(longest), metrics.horizontalAdvance(shown));
}

// From the left edge of the timing caption to the right edge of the last box.
int StatisticsRow::timingWidth() const
{
    int width = 2 * px(kPairGap);
    for (QLabel *caption : {timingCaption, elapsedCaption, remainingCaption})
        width += caption->sizeHint().width();
    for (int box : kTimingWidths)
        width += px(box);
    return width;
}

void StatisticsRow::layout(int width)
{
    // The bar gives up width where the progress text at its longest would reach the timing
    // labels; where even the shortest bar leaves no room, the timing labels take a line of
    // their own and both lines move up inside the band.
    const int timingLeft = width - px(kTimingFromRight);
    const int designBar = px(barWidth);
    const int textGap = px(progressLeft) - px(barLeft) - designBar;
    m_width = width;
    m_reserve = progressReserve();
    const int needed = px(progressLeft) + m_reserve + px(kClearance) - timingLeft;
    const int shortestBar = std::min(designBar, px(kShortestBar));
    m_wrapped = designBar - needed < shortestBar;
    const int barPx = m_wrapped ? designBar : std::min(designBar, designBar - needed);
    const int top = m_wrapped ? px(kBandTop + kBandMargin) : px(kRowTop);

    // The speed value sits in the blank gap of its caption.
    speed->setGeometry(px(kSpeedValue[0]), top, px(kSpeedValue[2]), px(kSpeedValue[3]));
    speedCaption->setGapEnd(speed->x() + speed->width() + px(60) - px(kSpeedLeft));
    speedCaption->adjustSize();
    speedCaption->move(px(kSpeedLeft), top);
    progressCaption->adjustSize();
    progressCaption->move(px(progressCaptionLeft), top);
    bar->setGeometry(px(barLeft), top, barPx, px(kValueHeight));
    progress->adjustSize();
    progress->move(bar->x() + barPx + textGap, top);

    int timingTop = top;
    if (m_wrapped) {
        for (const QWidget *w : std::initializer_list<const QWidget *>{
                 speedCaption, speed, progressCaption, bar, progress})
            timingTop = std::max(timingTop, w->y() + w->height());
    }
    int left = std::max(timingLeft, 0);
    const std::array<QLabel *, 3> captions{timingCaption, elapsedCaption, remainingCaption};
    const std::array<QLabel *, 3> boxes{timing, elapsed, remaining};
    int bottom = 0;
    for (size_t i = 0; i < captions.size(); ++i) {
        captions[i]->adjustSize();
        captions[i]->move(left, timingTop);
        left += captions[i]->width();
        boxes[i]->setGeometry(left, timingTop, px(kTimingWidths[i]), px(kValueHeight));
        left += boxes[i]->width() + px(kPairGap);
        bottom = std::max(bottom, captions[i]->y() + captions[i]->height());
    }

    // The band lies behind the whole row; it grows only if a second line would not fit in it.
    const int bandBottom = std::max(px(kBandTop + kBandHeight), bottom);
    band->setGeometry(0, px(kBandTop), width, bandBottom - px(kBandTop));
}

void StatisticsRow::followProgress()
{
    if (m_width > 0 && progressReserve() != m_reserve)
        layout(m_width);
}

int StatisticsRow::minimumWidth() const
{
    // Wrapped, the timing labels need the 7900 twips they hang from (their own width is
    // less) and the left part its design width with the longest progress text.
    const int left = px(progressLeft) +
                     QFontMetrics(progress->font()).horizontalAdvance(kLongestProgress) +
                     px(kClearance);
    const int timing = std::max(timingWidth() + px(kClearance), px(kTimingFromRight));
    return std::max(left, timing);
}
