// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/widgets/RootLabel.h"

#include <QPainter>

namespace {

// The part of a glyph picture that carries ink, with a pixel of margin: the glyphs keep a
// fragment (the bottom of 足) at its place in a character's cell, and the strip shows it whole.
QImage inked(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 160)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink.isEmpty() ? image : image.copy(ink.adjusted(-1, -1, 1, 1) & image.rect());
}

} // namespace

void RootLabel::setPicture(const QPixmap &picture)
{
    if (picture.cacheKey() == m_source)
        return;
    m_source = picture.cacheKey();
    m_picture = QPixmap();
    m_inverted = QPixmap();
    if (!picture.isNull()) {
        QImage image = inked(picture.toImage().convertToFormat(QImage::Format_RGB32));
        m_picture = QPixmap::fromImage(image);
        image.invertPixels();
        m_inverted = QPixmap::fromImage(image);
    }
    update();
}

void RootLabel::paintEvent(QPaintEvent *event)
{
    if (m_picture.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    // The ink about as large as the strip's characters, centred.
    const QRect room = contentsRect();
    const QSizeF natural = m_picture.size();
    const qreal scale =
        std::min(room.width() * 0.85 / natural.width(), room.height() * 0.8 / natural.height());
    const QSizeF size = natural * scale;
    const QRectF target(room.left() + (room.width() - size.width()) / 2,
                        room.top() + (room.height() - size.height()) / 2, size.width(),
                        size.height());
    const bool dark = palette().color(QPalette::Window).lightness() < 128;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, dark ? m_inverted : m_picture, QRectF(m_picture.rect()));
}
