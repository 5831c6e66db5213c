// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/TextBoxLayout.h"

#include "core/TextModel.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <limits>

TextBoxLayout::TextBoxLayout(const TextModel &model)
    : m_model(model)
{}

void TextBoxLayout::setFont(const QFont &font)
{
    m_lines.setFont(font);
    m_lineHeight = std::max(1, int(std::ceil(m_lines.metrics().lineSpacing())));
    m_lines.setWidth(m_viewWidth - 2 * kMargin);
    m_lines.layoutAll(m_display);
}

bool TextBoxLayout::setViewWidth(int width)
{
    m_viewWidth = width;
    if (width - 2 * kMargin == m_lines.width())
        return false;
    m_lines.setWidth(width - 2 * kMargin);
    m_lines.layoutAll(m_display);
    return true;
}

void TextBoxLayout::reset()
{
    m_preedit.clear();
    m_display = m_model.text();
    m_caretAtLineEnd = false;
    m_lines.layoutAll(m_display);
}

TextBoxLayout::Lines TextBoxLayout::edited(int from, int removed, int inserted)
{
    m_display = m_model.text();
    const int oldLineCount = m_lines.lineCount();
    m_lines.relayout(m_display, from, removed, inserted);
    m_caretAtLineEnd = false;
    // The line before may change too: a character typed at a line's start can fit there.
    const int first = std::max(0, m_lines.lineAt(from) - 1);
    if (oldLineCount == m_lines.lineCount() && removed == 0)
        return {first, m_lines.lineAt(from + inserted)};
    return {first, -1};
}

std::optional<TextBoxLayout::Lines> TextBoxLayout::setPreedit(const QString &preedit, int cursor)
{
    if (m_preedit.isEmpty() && preedit.isEmpty())
        return std::nullopt;
    const int oldPos = m_preeditPos;
    const int oldLength = int(m_preedit.size());
    if (oldLength > 0) {
        m_display = m_model.text();
        m_lines.relayout(m_display, oldPos, oldLength, 0);
    }
    m_preedit = preedit;
    m_preeditPos = m_model.caret();
    m_preeditCursor = std::clamp(cursor, 0, int(m_preedit.size()));
    if (!m_preedit.isEmpty()) {
        const QString &text = m_model.text();
        m_display = text.left(m_preeditPos) + m_preedit + text.mid(m_preeditPos);
        m_lines.relayout(m_display, m_preeditPos, 0, int(m_preedit.size()));
    }
    return Lines{std::max(0, m_lines.lineAt(std::min(oldPos, m_preeditPos)) - 1), -1};
}

std::optional<TextBoxLayout::Lines> TextBoxLayout::followCaret()
{
    if (m_preedit.isEmpty() || m_model.caret() == m_preeditPos)
        return std::nullopt;
    return setPreedit(m_preedit, m_preeditCursor);
}

int TextBoxLayout::toDisplay(int position) const
{
    return m_preedit.isEmpty() || position <= m_preeditPos ? position
                                                           : position + int(m_preedit.size());
}

int TextBoxLayout::fromDisplay(int position) const
{
    if (m_preedit.isEmpty() || position <= m_preeditPos)
        return position;
    return std::max(m_preeditPos, position - int(m_preedit.size()));
}

int TextBoxLayout::displayCaret() const
{
    return m_preedit.isEmpty() ? m_model.caret() : m_preeditPos + m_preeditCursor;
}

int TextBoxLayout::caretLine() const
{
    const int at = displayCaret();
    const int line = m_lines.lineAt(at);
    if (m_caretAtLineEnd && line > 0 && at == m_lines.lineStart(line) &&
        !TextLines::isLineBreak(m_display.at(at - 1)))
        return line - 1;
    return line;
}

qreal TextBoxLayout::caretX() const
{
    return m_lines.xOf(m_display, caretLine(), displayCaret());
}

QRectF TextBoxLayout::caretRect() const
{
    return QRectF(kMargin + caretX(), lineTop(caretLine()), 2, m_lineHeight);
}

QRectF TextBoxLayout::characterRect(int position) const
{
    const int length = m_model.length();
    position = std::clamp(position, 0, length);
    const int at = toDisplay(position);
    const int line = m_lines.lineAt(at);
    int unused = 0;
    const qreal width = position < length ? m_lines.advanceAt(m_display, at, &unused) : 0;
    const qreal x = kMargin + m_lines.xOf(m_display, line, at);
    return QRectF(x, lineTop(line), width, m_lineHeight);
}

int TextBoxLayout::positionAt(QPointF point) const
{
    const int line = std::clamp(int(std::floor((point.y() - kMargin) / m_lineHeight)), 0,
                                m_lines.lineCount() - 1);
    const int position = m_lines.positionAt(m_display, line, point.x() - kMargin);
    if (!m_preedit.isEmpty() && position > m_preeditPos &&
        position < m_preeditPos + int(m_preedit.size()))
        return m_preeditPos;
    return fromDisplay(position);
}

int TextBoxLayout::positionOnLine(int line, qreal x) const
{
    line = std::clamp(line, 0, m_lines.lineCount() - 1);
    return fromDisplay(m_lines.positionAt(m_display, line, x));
}

int TextBoxLayout::lineStartPosition(int line) const
{
    return fromDisplay(m_lines.lineStart(line));
}

int TextBoxLayout::lineEndPosition(int line, bool *atLineEnd) const
{
    const int end = m_lines.lineContentEnd(m_display, line);
    *atLineEnd = end == m_lines.lineEnd(line);
    return fromDisplay(end);
}

QRectF TextBoxLayout::linesRect(Lines lines) const
{
    const qreal top = lineTop(lines.first);
    // To the end of the text means to the bottom of the view, below the last line too.
    const qreal bottom =
        lines.last < 0 ? std::numeric_limits<int>::max() / 2 : lineTop(lines.last + 1);
    return QRectF(0, top, m_viewWidth, bottom - top);
}

std::vector<QRectF> TextBoxLayout::rangeRects(int from, int to) const
{
    if (from >= to)
        return {};
    const int first = m_lines.lineAt(toDisplay(from));
    const int last = m_lines.lineAt(toDisplay(to - 1));
    if (last - first > 2)
        return {linesRect({first, last})};
    std::vector<QRectF> rects;
    for (int line = first; line <= last; ++line) {
        const int start = std::max(toDisplay(from), m_lines.lineStart(line));
        const int end = std::min(toDisplay(to - 1) + 1, m_lines.lineEnd(line));
        const qreal left = kMargin + m_lines.xOf(m_display, line, start);
        const qreal width = m_lines.xOf(m_display, line, end) - m_lines.xOf(m_display, line, start);
        rects.emplace_back(left - 1, lineTop(line), width + 3, m_lineHeight);
    }
    return rects;
}

int TextBoxLayout::scrollToShow(int line, int scroll, int height) const
{
    const int top = lineTop(line);
    const int ahead = height >= 2 * m_lineHeight && line + 1 < m_lines.lineCount() ? 1 : 0;
    const int bottom = top + (1 + ahead) * m_lineHeight;
    if (top < scroll + kMargin)
        return top - kMargin;
    if (bottom > scroll + height)
        return bottom - height + kMargin;
    return scroll;
}

void TextBoxLayout::paint(QPainter &painter, const QRect &area, int scroll, const QPalette &palette,
                          bool showSelection, bool showCaret) const
{
    painter.fillRect(area, palette.base());
    painter.setFont(m_lines.font());
    const QFontMetricsF &metrics = m_lines.metrics();
    const qreal ascent = metrics.ascent();
    const qreal underline = std::min(ascent + metrics.underlinePos() + 1, qreal(m_lineHeight - 2));
    const qreal thickness = std::max<qreal>(2, metrics.lineWidth() + 1);

    const int first = std::max(0, (area.top() + scroll - kMargin) / m_lineHeight);
    const int last =
        std::min(m_lines.lineCount() - 1, (area.bottom() + scroll - kMargin) / m_lineHeight);
    showSelection = showSelection && m_model.anchor() != m_model.caret();
    const int selFrom = toDisplay(m_model.selStart());
    const int selTo = toDisplay(m_model.selEnd());
    const int preFrom = m_preedit.isEmpty() ? -1 : m_preeditPos;
    const int preTo = preFrom + int(m_preedit.size());
    const QColor highlight = palette.color(QPalette::Highlight);
    const QColor highlightedText = palette.color(QPalette::HighlightedText);
    const std::vector<QRgb> &colors = m_model.colors();
    const std::vector<quint8> &emphasis = m_model.emphasis();

    // A character's look: its colour, emphasis, and whether it is selected or composed.
    struct Look
    {
        QRgb color;
        quint8 emphasis;
        quint8 kind; // 0 plain, 1 selected, 2 preedit
        bool operator==(const Look &) const = default;
    };
    const auto lookAt = [&](int i) -> Look {
        if (i >= preFrom && i < preTo)
            return {palette.color(QPalette::Text).rgb(), 0, 2};
        const size_t model = size_t(i >= preTo && preFrom >= 0 ? i - (preTo - preFrom) : i);
        const quint8 kind = showSelection && i >= selFrom && i < selTo ? 1 : 0;
        return {colors[model], emphasis[model], kind};
    };

    for (int line = first; line <= last; ++line) {
        const qreal top = lineTop(line) - scroll;
        const int end = m_lines.lineContentEnd(m_display, line);
        qreal x = kMargin;
        int length = 1;
        for (int i = m_lines.lineStart(line); i < end;) {
            const Look look = lookAt(i);
            int j = i;
            qreal width = 0;
            while (j < end && lookAt(j) == look) {
                width += m_lines.advanceAt(m_display, j, &length);
                j += length;
            }
            const QColor color = look.kind == 1 ? highlightedText : QColor(look.color);
            if (look.kind == 1)
                painter.fillRect(QRectF(x, top, width, m_lineHeight), highlight);
            painter.setPen(color);
            painter.drawText(QPointF(x, top + ascent),
                             QString::fromRawData(m_display.constData() + i, j - i));
            if (look.emphasis)
                painter.fillRect(QRectF(x, top + underline, width, thickness), color);
            if (look.kind == 2) {
                painter.setPen(QPen(color, 1, Qt::DashLine));
                painter.drawLine(QPointF(x, top + underline + 0.5),
                                 QPointF(x + width, top + underline + 0.5));
            }
            x += width;
            i = j;
        }
    }
    if (showCaret)
        painter.fillRect(caretRect().translated(0, -scroll), palette.color(QPalette::Text));
}
