// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/GapLabel.h"

#include <QPainter>
#include <QRegularExpression>

namespace {
// The text before and after its run of blanks.
std::pair<QString, QString> splitAtGap(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral(" {2,}"));
    const QRegularExpressionMatch match = blanks.match(text);
    if (!match.hasMatch())
        return {text, QString()};
    return {text.left(match.capturedStart()), text.mid(match.capturedEnd())};
}
} // namespace

void GapLabel::setGapEnd(int x)
{
    m_gapEnd = x;
    updateGeometry();
    update();
}

QSize GapLabel::sizeHint() const
{
    const auto [head, tail] = splitAtGap(text());
    if (m_gapEnd < 0 || tail.isEmpty())
        return QLabel::sizeHint();
    const QFontMetrics metrics(font());
    const int width =
        std::max(m_gapEnd, metrics.horizontalAdvance(head)) + metrics.horizontalAdvance(tail);
    return {width + 1, metrics.height()};
}

void GapLabel::paintEvent(QPaintEvent *event)
{
    const auto [head, tail] = splitAtGap(text());
    if (m_gapEnd < 0 || tail.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    painter.drawText(0, baseline, head);
    painter.drawText(std::max(m_gapEnd, metrics.horizontalAdvance(head)), baseline, tail);
}
