// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>

// A label whose run of blanks is a gap for another control: the text after the blanks starts
// at a given x, whatever the font's blank width, so "速度：       字/分" frames the value field
// placed in it.
class GapLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Where the text after the blanks starts, in this label's coordinates; negative: no gap.
    void setGapEnd(int x);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_gapEnd = -1;
};
