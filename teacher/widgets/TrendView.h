// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/TrendChart.h"

#include <QWidget>

// A chart of figures over tests (trendchart), as the printed reports draw it.
class TrendView : public QWidget
{
    Q_OBJECT
public:
    explicit TrendView(QWidget *parent = nullptr);
    void setChart(const trendchart::Chart &chart);
    const trendchart::Chart &chart() const { return m_chart; }
    QSize sizeHint() const override { return {480, 220}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    trendchart::Chart m_chart;
};
