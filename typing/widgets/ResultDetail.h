// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "typing/TestResult.h"

#include <QList>
#include <QWidget>

class QLabel;

// The speed of a test at every second as a line over the test's time, with the highest and
// the last speed written beside it.
class SpeedCurve : public QWidget
{
    Q_OBJECT
public:
    explicit SpeedCurve(QWidget *parent = nullptr);

    void setSpeeds(const QList<int> &tenths);
    const QList<int> &speeds() const { return m_tenths; }

    QSize sizeHint() const override { return {600, 130}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<int> m_tenths;
};

// The part of the result window the student may open: the speed over the test, the accuracy,
// and every mistyped character with what was typed in its place, its Wubi codes, its Pinyin and
// its roots as glyph pictures; for a root practice, every root answered wrong with the keys
// pressed for it and its right key.
class ResultDetail : public QWidget
{
    Q_OBJECT
public:
    explicit ResultDetail(QWidget *parent = nullptr);

    void fill(const TestResult &result);

    SpeedCurve *curve() const { return m_curve; }
    // The accuracy line and the heading of the mistakes.
    QLabel *accuracy() const { return m_accuracy; }
    // One row per mistake: the cells' texts (the glyph cell gives the glyph numbers).
    QList<QStringList> rows() const { return m_rows; }

private:
    SpeedCurve *m_curve;
    QLabel *m_accuracy;
    QWidget *m_table;
    QList<QStringList> m_rows;
};
