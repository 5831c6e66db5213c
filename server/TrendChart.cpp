// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/TrendChart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace trendchart {

namespace {

// A round step for about `ticks` lines between low and high.
double niceStep(double span, int ticks)
{
    const double raw = span / std::max(1, ticks);
    const double magnitude = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (raw <= factor * magnitude)
            return factor * magnitude;
    return 10.0 * magnitude;
}

} // namespace

void draw(QPainter &painter, const QRectF &area, const Chart &chart)
{
    painter.save();
    const QFontMetricsF metrics(painter.font());
    const QColor ink = painter.pen().color();
    const double line = metrics.height();

    double low = chart.floor.value_or(1e300);
    double high = chart.ceiling.value_or(-1e300);
    for (const Series &series : chart.series)
        for (const std::optional<double> &value : series.values)
            if (value) {
                if (!chart.floor)
                    low = std::min(low, *value);
                if (!chart.ceiling)
                    high = std::max(high, *value);
            }
    if (chart.mark) {
        if (!chart.floor)
            low = std::min(low, *chart.mark);
        if (!chart.ceiling)
            high = std::max(high, *chart.mark);
    }
    if (low > high) {
        low = 0;
        high = 1;
    }
    if (high - low < 1e-9)
        high = low + 1;
    const double step = niceStep(high - low, 4);
    low = std::floor(low / step) * step;
    high = std::ceil(high / step) * step;

    // Title and legend above, the value axis on the left, the labels below.
    painter.drawText(QRectF(area.left(), area.top(), area.width(), line), Qt::AlignCenter,
                     chart.title);
    const double axisWidth = metrics.horizontalAdvance(QStringLiteral("1000.0")) + line * 0.3;
    const QRectF plot(area.left() + axisWidth, area.top() + line * 2.6,
                      area.width() - axisWidth - line, area.height() - line * 4.4);
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    // Legend.
    double legendX = plot.left();
    for (const Series &series : chart.series) {
        painter.fillRect(QRectF(legendX, area.top() + line * 1.35, line * 1.2, line * 0.35),
                         series.colour);
        const double width = metrics.horizontalAdvance(series.name);
        painter.drawText(QRectF(legendX + line * 1.4, area.top() + line * 1.05, width + 2, line),
                         Qt::AlignLeft | Qt::AlignVCenter, series.name);
        legendX += line * 2.2 + width;
    }
    if (chart.mark && !chart.markName.isEmpty())
        painter.drawText(QRectF(legendX, area.top() + line * 1.05, plot.right() - legendX, line),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("- - %1").arg(chart.markName));

    const auto yOf = [&](double value) {
        return plot.bottom() - (value - low) / (high - low) * plot.height();
    };
    const int count = int(chart.labels.size());
    const auto xOf = [&](int i) {
        return count <= 1 ? plot.center().x() : plot.left() + plot.width() * i / (count - 1);
    };

    // Grid and value labels.
    QPen grid(QColor(0xD8, 0xD8, 0xD8));
    grid.setWidthF(std::max(1.0, line / 16));
    for (double value = low; value <= high + step / 2; value += step) {
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), yOf(value)), QPointF(plot.right(), yOf(value)));
        painter.setPen(ink);
        painter.drawText(QRectF(area.left(), yOf(value) - line / 2, axisWidth - line * 0.3, line),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(value, 'f', step < 1 ? 1 : 0));
    }
    QPen axis(ink);
    axis.setWidthF(std::max(1.0, line / 12));
    painter.setPen(axis);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    // The unit above the value axis, in the title's row (the title stands in the middle).
    painter.drawText(QRectF(area.left(), area.top(), area.width() / 3, line),
                     Qt::AlignLeft | Qt::AlignVCenter, chart.unit);

    // Test labels: as many as there is room for.
    const double labelWidth =
        count > 0 ? std::max_element(
                        chart.labels.cbegin(), chart.labels.cend(),
                        [&](const QString &a, const QString &b) {
                            return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
                        })->size() *
                            metrics.averageCharWidth() +
                        line * 0.5
                  : 0;
    const double room = count > 1 ? plot.width() / (count - 1) : plot.width();
    const int every = std::max(1, int(std::ceil(labelWidth / std::max(room, 1.0))));
    for (int i = 0; i < count; i += every)
        painter.drawText(
            QRectF(xOf(i) - labelWidth / 2, plot.bottom() + line * 0.3, labelWidth, line),
            Qt::AlignCenter, chart.labels.at(i));

    if (chart.mark) {
        QPen dashed(QColor(0xC0, 0x30, 0x30));
        dashed.setStyle(Qt::DashLine);
        dashed.setWidthF(std::max(1.0, line / 10));
        painter.setPen(dashed);
        painter.drawLine(QPointF(plot.left(), yOf(*chart.mark)),
                         QPointF(plot.right(), yOf(*chart.mark)));
    }

    painter.setRenderHint(QPainter::Antialiasing);
    for (const Series &series : chart.series) {
        QPen pen(series.colour);
        pen.setWidthF(std::max(1.5, line / 7));
        painter.setPen(pen);
        QPainterPath path;
        bool open = false;
        for (int i = 0; i < count && i < series.values.size(); ++i) {
            const std::optional<double> &value = series.values.at(i);
            if (!value) {
                open = false; // a missed test leaves a gap
                continue;
            }
            const QPointF point(xOf(i), yOf(*value));
            if (open)
                path.lineTo(point);
            else
                path.moveTo(point);
            open = true;
        }
        painter.drawPath(path);
        painter.setBrush(series.colour);
        const double dot = std::max(2.0, line / 6);
        for (int i = 0; i < count && i < series.values.size(); ++i)
            if (const std::optional<double> &value = series.values.at(i))
                painter.drawEllipse(QPointF(xOf(i), yOf(*value)), dot, dot);
        painter.setBrush(Qt::NoBrush);
    }
    painter.restore();
}

} // namespace trendchart
