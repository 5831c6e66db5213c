// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRectF>
#include <QStringList>
#include <QWidget>

class QPainter;

// The Wubi 86 root chart: the keyboard with the roots of every key and the mnemonic verses,
// drawn from the client's root data so that it stays sharp at any size.
//
// The chart is laid out on a fixed design canvas and scaled uniformly to the widget, centred.
class RootChart : public QWidget
{
    Q_OBJECT
public:
    static constexpr qreal kDesignWidth = 1060;
    static constexpr qreal kDesignHeight = 430;
    static constexpr qreal kVerseLineHeight = 14.5;

    explicit RootChart(QWidget *parent = nullptr);

    // Where a letter key (A-Z) lies on the design canvas; empty for any other character.
    static QRectF keyRect(QChar letter);
    // The mnemonic verse of a letter key, empty for Z and other characters.
    static QString verse(QChar letter);
    // The verse panel of a zone (1-5) on the design canvas, and its text as wrapped there.
    static QRectF versePanelRect(int zone);
    static QStringList verseLines(int zone);
    // Design canvas to widget: the uniform scale and the offset that centres the chart.
    QTransform designTransform() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintKey(QPainter &painter, QChar letter, qreal scale) const;
    void paintVerses(QPainter &painter, int zone) const;
    void paintLegend(QPainter &painter) const;
};
