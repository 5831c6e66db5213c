// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "teacher/widgets/TrendView.h"

#include <QPainter>

TrendView::TrendView(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(320, 160);
}

void TrendView::setChart(const trendchart::Chart &chart)
{
    m_chart = chart;
    update();
}

void TrendView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    trendchart::draw(painter, QRectF(rect()).adjusted(6, 6, -6, -6), m_chart);
}
