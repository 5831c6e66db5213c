// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QPixmap>

// A label of the root strip: a root as a character, or as its glyph picture where the table's
// character would send a learner to another key. The character stays the label's text either
// way; the picture takes the label's colours (black on white, white on black when the root is
// the next to type).
class RootLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

    // The picture to show instead of the text; a null pixmap shows the text.
    void setPicture(const QPixmap &picture);
    bool showsPicture() const { return !m_picture.isNull(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 m_source = 0; // cache key of the picture given
    QPixmap m_picture;   // its inked part
    QPixmap m_inverted;  // white strokes on black, for the highlighted label
};
