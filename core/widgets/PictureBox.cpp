// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/PictureBox.h"

#include <QPainter>
#include <QSvgRenderer>

PictureBox::PictureBox(const QString &resource, QWidget *parent)
    : QWidget(parent)
    , m_renderer(new QSvgRenderer(resource, this))
{
    m_renderer->setAspectRatioMode(Qt::IgnoreAspectRatio);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer->render(&painter, QRectF(rect()));
}
