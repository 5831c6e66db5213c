// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QWidget>

// The class's speeds as a bar chart: how many students type at 0-9, 10-19, ... characters a
// minute, the last bar taking everything faster, with the class mean marked. A new second that
// moves only the mean repaints only the mean's line and label.
class SpeedChart : public QWidget
{
    Q_OBJECT
public:
    explicit SpeedChart(QWidget *parent = nullptr);

    static constexpr double kBinWidth = 10.0;
    static constexpr int kBins = 16;

    void setSpeeds(const QList<double> &speeds);
    const QList<int> &counts() const { return m_counts; }

    QSize sizeHint() const override { return {240, 220}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Where the bars are drawn, and the x of the mean's line.
    QRect plot() const;
    double meanX(double mean) const;
    QRect meanArea(double mean) const;

    QList<int> m_counts;
    double m_mean = -1;
    int m_students = 0;
};
