// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <vector>

// Breaks a plain text into display lines of a given width and keeps the result, so that an edit
// re-lays out only the lines it touches. Widths come from a per-character advance cache: the
// test texts are mostly CJK characters that all share one advance, so a lookup replaces a call
// into the font engine. Lines break after a line break character (CR LF counts as one), or
// where the next character would not fit: anywhere in CJK text, at a blank in Latin words when
// the line holds one, and never with a closing punctuation mark at the start of a line.
class TextLines
{
public:
    TextLines();

    void setFont(const QFont &font);
    const QFont &font() const { return m_font; }
    const QFontMetricsF &metrics() const { return m_metrics; }
    // The available width; at least one character goes on each line however narrow it is.
    void setWidth(qreal width);
    qreal width() const { return m_width; }

    void layoutAll(const QString &text);
    // Call after text[from, from + removed) of the previous text was replaced by `inserted`
    // characters. Lays out from the line before the edit until a line starts where an old one
    // started, then shifts the remaining old lines.
    void relayout(const QString &text, int from, int removed, int inserted);

    int lineCount() const { return int(m_starts.size()); }
    int lineStart(int line) const { return m_starts[size_t(line)]; }
    // The position after the last character of the line, line break characters included.
    int lineEnd(int line) const;
    // The position after the last visible character, before any line break characters.
    int lineContentEnd(const QString &text, int line) const;
    // The line holding the character at `position`; the end of the text is on the last line.
    int lineAt(int position) const;

    // Advance of the character (or surrogate pair) at `position`; sets *length to 1 or 2.
    qreal advanceAt(const QString &text, int position, int *length) const;
    // Distance from the start of `line` to `position`, which lies within that line.
    qreal xOf(const QString &text, int line, int position) const;
    // The position on `line` nearest to the horizontal distance x.
    int positionAt(const QString &text, int line, qreal x) const;

    static bool isLineBreak(QChar c);

private:
    int layoutLine(const QString &text, int start) const;
    qreal charAdvance(char16_t c) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    qreal m_width = 100;
    int m_length = 0;
    std::vector<int> m_starts{0};
    // Advance per UTF-16 code unit, negative until measured; filled on first use.
    mutable std::vector<float> m_advances;
};
