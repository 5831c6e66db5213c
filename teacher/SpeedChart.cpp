#include "SpeedChart.h"

#include "ClassSummary.h"

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
    m_counts = ClassSummary::histogram(speeds, kBinWidth, kBins);
    m_students = int(speeds.size());
    m_mean = speeds.isEmpty()
                 ? -1
                 : std::accumulate(speeds.cbegin(), speeds.cend(), 0.0) / double(speeds.size());
    update();
}

void SpeedChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = painter.fontMetrics();
    const int left = metrics.horizontalAdvance(QStringLiteral("000")) + 8;
    const int bottom = height() - metrics.height() * 2 - 4;
    // Room for the title and, above the tallest bar, its count.
    const int top = metrics.height() * 2 + 8;
    // Room on the right for the count above the last bar.
    const QRect plot(left, top, width() - left - metrics.horizontalAdvance(QStringLiteral("00")),
                     bottom - top);
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
        const double x = plot.left() + std::min(m_mean / kBinWidth, double(kBins)) * barWidth;
        painter.setPen(QPen(QColor(0xC0, 0x30, 0x30), 2, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.drawText(QRect(0, bottom + metrics.height() + 2, width(), metrics.height()),
                         Qt::AlignCenter, QStringLiteral("平均 %1 字/分").arg(m_mean, 0, 'f', 1));
    }
}
