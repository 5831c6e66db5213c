// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "teacher/widgets/SpeedChart.h"

#include "server/ClassSummary.h"

#include <QPainter>

#include <algorithm>
#include <numeric>

SpeedChart::SpeedChart(QWidget *parent)
    : QWidget(parent)
    , m_counts(kBins, 0)
{
    setMinimumSize(220, 160);
}

void SpeedChart::setSpeeds(const QList<double> &speeds)
{
    QList<int> counts = ClassSummary::histogram(speeds, kBinWidth, kBins);
    const int students = int(speeds.size());
    const double mean = speeds.isEmpty() ? -1
                                         : std::accumulate(speeds.cbegin(), speeds.cend(), 0.0) /
                                               double(speeds.size());
    if (counts != m_counts || students != m_students || (mean < 0) != (m_mean < 0)) {
        m_counts = std::move(counts);
        m_students = students;
        m_mean = mean;
        update();
        return;
    }
    // The bars stand: only the mean's line and label may move.
    if (mean >= 0 && QString::number(mean, 'f', 1) != QString::number(m_mean, 'f', 1)) {
        const QRect before = meanArea(m_mean);
        m_mean = mean;
        update(before | meanArea(mean));
    } else {
        m_mean = mean;
    }
}

QRect SpeedChart::plot() const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("000")) + 8;
    const int bottom = height() - metrics.height() * 2 - 4;
    // Room for the title and, above the tallest bar, its count.
    const int top = metrics.height() * 2 + 8;
    // Room on the right for the count above the last bar.
    return QRect(left, top, width() - left - metrics.horizontalAdvance(QStringLiteral("00")),
                 bottom - top);
}

double SpeedChart::meanX(double mean) const
{
    const QRect area = plot();
    return area.left() + std::min(mean / kBinWidth, double(kBins)) * area.width() / kBins;
}

QRect SpeedChart::meanArea(double mean) const
{
    // The dashed line (2 px wide) from the top of the plot to its axis, and the label line.
    const QRect area = plot();
    const int x = int(meanX(mean));
    const int bottom = height() - fontMetrics().height() * 2 - 4;
    return QRect(x - 3, area.top() - 1, 7, area.height() + 3) |
           QRect(0, bottom + fontMetrics().height(), width(), fontMetrics().height() + 4);
}

void SpeedChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = painter.fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("000")) + 8;
    const int bottom = height() - metrics.height() * 2 - 4;
    const QRect plot = this->plot();
    painter.drawText(QRect(0, 2, width(), metrics.height()), Qt::AlignCenter,
                     QStringLiteral("全班速度分布（字/分）  %1人").arg(m_students));
    const int most = std::max(1, *std::max_element(m_counts.cbegin(), m_counts.cend()));
    const double barWidth = double(plot.width()) / kBins;
    // Every bin's lower bound as a label where there is room, else every second or fourth.
    const int labelWidth = metrics.horizontalAdvance(QStringLiteral("1400"));
    const int labelStep = labelWidth <= barWidth ? 1 : (labelWidth <= 2 * barWidth ? 2 : 4);
    painter.setPen(palette().text().color());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    painter.drawText(QRect(0, plot.top() - metrics.height() / 2, left - 4, metrics.height()),
                     Qt::AlignRight, QString::number(most));
    for (int bin = 0; bin < kBins; ++bin) {
        const int count = m_counts.value(bin);
        const int barHeight = int(double(plot.height()) * count / most);
        const QRectF bar(plot.left() + bin * barWidth + 1, plot.bottom() - barHeight, barWidth - 2,
                         barHeight);
        painter.fillRect(bar, QColor(0x3A, 0x7B, 0xD5));
        if (count > 0)
            painter.drawText(
                QRectF(bar.left(), bar.top() - metrics.height(), bar.width(), metrics.height()),
                Qt::AlignCenter, QString::number(count));
        if (bin % labelStep == 0) {
            const QString label = bin == kBins - 1 ? QStringLiteral("%1+").arg(int(bin * kBinWidth))
                                                   : QString::number(int(bin * kBinWidth));
            painter.drawText(QRectF(plot.left() + bin * barWidth - labelWidth / 2.0,
                                    plot.bottom() + 2, labelWidth, metrics.height()),
                             Qt::AlignCenter, label);
        }
    }
    if (m_mean >= 0) {
        const double x = meanX(m_mean);
        painter.setPen(QPen(QColor(0xC0, 0x30, 0x30), 2, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.drawText(QRect(0, bottom + metrics.height() + 2, width(), metrics.height()),
                         Qt::AlignCenter, QStringLiteral("平均 %1 字/分").arg(m_mean, 0, 'f', 1));
    }
}
