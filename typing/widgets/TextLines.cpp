// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/TextLines.h"

#include <algorithm>

namespace {

bool isClosingPunctuation(char16_t c)
{
    static constexpr char16_t marks[] = u"，。、；：？！）》」』】〉”’…—,.;:?!)]}";
    return std::find(std::begin(marks), std::end(marks) - 1, c) != std::end(marks) - 1;
}

// Characters of a Latin word (or number) that should stay together when a line must break.
bool isWordChar(char16_t c)
{
    return c > 0x20 && c < 0x2E80 && c != 0x3000 && !TextLines::isLineBreak(QChar(c));
}

} // namespace

TextLines::TextLines()
    : m_metrics(m_font)
{
    setFont(m_font);
}

bool TextLines::isLineBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == 0x2028 || u == 0x2029;
}

void TextLines::setFont(const QFont &font)
{
    m_font = font;
    // Runs are painted with the same advances the layout adds up; kerning would move glyphs
    // between the two.
    m_font.setKerning(false);
    m_metrics = QFontMetricsF(m_font);
    m_advances.assign(0x10000, -1.0f);
}

void TextLines::setWidth(qreal width)
{
    m_width = std::max<qreal>(width, 1);
}

qreal TextLines::charAdvance(char16_t c) const
{
    float &cached = m_advances[c];
    if (cached < 0) {
        if (isLineBreak(QChar(c)))
            cached = 0;
        else if (c == u'\t')
            cached = float(4 * m_metrics.horizontalAdvance(QLatin1Char(' ')));
        else
            cached = float(m_metrics.horizontalAdvance(QChar(c)));
    }
    return cached;
}

qreal TextLines::advanceAt(const QString &text, int position, int *length) const
{
    const QChar c = text.at(position);
    if (c.isHighSurrogate() && position + 1 < text.size() &&
        text.at(position + 1).isLowSurrogate()) {
        *length = 2;
        return m_metrics.horizontalAdvance(text.mid(position, 2));
    }
    *length = 1;
    return charAdvance(c.unicode());
}

int TextLines::layoutLine(const QString &text, int start) const
{
    const int n = int(text.size());
    qreal x = 0;
    int i = start;
    int lastBreak = -1; // a line may end here without splitting a Latin word
    while (i < n) {
        const char16_t c = text.at(i).unicode();
        if (isLineBreak(QChar(c)))
            return (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ? i + 2 : i + 1;
        int length = 1;
        const qreal w = advanceAt(text, i, &length);
        // Blanks may hang past the edge: a line never starts with the blank that ended a word.
        if (x + w > m_width && i > start && c != u' ' && c != 0x3000) {
            if (isClosingPunctuation(c)) {
                // Take the character before along so the mark does not start the line.
                const int previous =
                    text.at(i - 1).isLowSurrogate() && i - 2 > start ? i - 2 : i - 1;
                return previous > start ? previous : i + length;
            }
            if (isWordChar(c) && isWordChar(text.at(i - 1).unicode()) && lastBreak > start)
                return lastBreak;
            return i;
        }
        x += w;
        i += length;
        if (!isWordChar(c) || !isWordChar(i < n ? text.at(i).unicode() : u' '))
            lastBreak = i;
    }
    return n;
}

void TextLines::layoutAll(const QString &text)
{
    m_starts.assign(1, 0);
    m_length = 0;
    relayout(text, 0, 0, int(text.size()));
}

void TextLines::relayout(const QString &text, int from, int removed, int inserted)
{
    const int n = int(text.size());
    const int delta = inserted - removed;
    const int newEnd = from + inserted;
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), from);
    const size_t first = size_t(std::max<ptrdiff_t>(0, (after - m_starts.begin()) - 2));

    std::vector<int> fresh;
    size_t old = first + 1;
    int position = m_starts[first];
    bool spliced = false;
    while (position < n) {
        const int next = layoutLine(text, position);
        if (next >= n) {
            if (isLineBreak(text.at(n - 1)))
                fresh.push_back(n); // the empty line after a final line break
            break;
        }
        fresh.push_back(next);
        if (next >= newEnd) {
            // From an old line start behind the edit on, the old layout still holds.
            while (old < m_starts.size() && m_starts[old] + delta < next)
                ++old;
            if (old < m_starts.size() && m_starts[old] + delta == next &&
                m_starts[old] >= from + removed) {
                std::vector<int> tail(m_starts.begin() + ptrdiff_t(old) + 1, m_starts.end());
                for (int &start : tail)
                    start += delta;
                m_starts.resize(first + 1);
                m_starts.insert(m_starts.end(), fresh.begin(), fresh.end());
                m_starts.insert(m_starts.end(), tail.begin(), tail.end());
                spliced = true;
                break;
            }
        }
        position = next;
    }
    if (!spliced) {
        m_starts.resize(first + 1);
        m_starts.insert(m_starts.end(), fresh.begin(), fresh.end());
    }
    m_length = n;
}

int TextLines::lineEnd(int line) const
{
    return line + 1 < lineCount() ? m_starts[size_t(line) + 1] : m_length;
}

int TextLines::lineContentEnd(const QString &text, int line) const
{
    int end = lineEnd(line);
    const int start = lineStart(line);
    while (end > start && isLineBreak(text.at(end - 1)))
        --end;
    return end;
}

int TextLines::lineAt(int position) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), position);
    return std::max(0, int(after - m_starts.begin()) - 1);
}

qreal TextLines::xOf(const QString &text, int line, int position) const
{
    qreal x = 0;
    int length = 1;
    for (int i = lineStart(line); i < position && i < text.size(); i += length)
        x += advanceAt(text, i, &length);
    return x;
}

int TextLines::positionAt(const QString &text, int line, qreal x) const
{
    const int end = lineContentEnd(text, line);
    qreal left = 0;
    int length = 1;
    for (int i = lineStart(line); i < end; i += length) {
        const qreal w = advanceAt(text, i, &length);
        if (x < left + w / 2)
            return i;
        left += w;
    }
    return end;
}
