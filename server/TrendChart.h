// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>

class QPainter;

// A line chart of figures over a row of tests: one or more series (a student's speed, a
// class's mean and median), a dashed line for the pass mark, the tests' labels under the axis.
// Drawn with a QPainter, so the console's views, the printed reports and the PDF files show
// the same picture.
namespace trendchart {

struct Series
{
    QString name;
    QColor colour;
    QList<std::optional<double>> values; // one per label; nothing where there is no figure
};

struct Chart
{
    QString title;
    QString unit; // "字/分", "%"
    QStringList labels;
    QList<Series> series;
    std::optional<double> mark; // the pass mark
    QString markName;
    std::optional<double> floor; // the lowest value of the axis (else from the figures)
    std::optional<double> ceiling;
};

// Draws the chart into the area with the painter's font and pen colour.
void draw(QPainter &painter, const QRectF &area, const Chart &chart);

} // namespace trendchart
