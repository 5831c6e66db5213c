// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "typing/widgets/TextLines.h"

#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

class QPainter;
class QPalette;
class TextModel;

// Where the characters of a text box go and how they look: the model's text in lines of the
// box's width (kept by TextLines, so an edit lays out only the lines it touches), the input
// method's composition shown at the caret without being part of the text, the caret, and the
// painting of it all with each character's own colour and emphasis. Coordinates are the
// content's, before scrolling: y = 0 is the top edge of the box's margin above the first line.
// TextBoxPainter feeds it the model's changes and repaints what it says changed.
class TextBoxLayout
{
public:
    static constexpr int kMargin = 4;

    // Display lines [first, last]; last -1 means to the end of the text.
    struct Lines
    {
        int first = 0;
        int last = -1;
    };

    // `model` must outlive the layout, which holds nothing of its text until reset().
    explicit TextBoxLayout(const TextModel &model);

    void setFont(const QFont &font);
    const QFont &font() const { return m_lines.font(); }
    // The width of the box's viewport; lays everything out again (and says so) when the
    // lines get another width.
    bool setViewWidth(int width);
    int viewWidth() const { return m_viewWidth; }
    int lineHeight() const { return m_lineHeight; }
    int lineCount() const { return m_lines.lineCount(); }
    int contentHeight() const { return lineCount() * m_lineHeight + 2 * kMargin; }
    int lineTop(int line) const { return kMargin + line * m_lineHeight; }

    // The model has a new text: nothing of the old layout or composition is kept.
    void reset();
    // text[from, from + removed) of the model became `inserted` characters.
    Lines edited(int from, int removed, int inserted);
    // Shows `preedit` at the model's caret, with the input method's cursor at `cursor` in it;
    // gives the lines to repaint, none when there was and is no composition.
    std::optional<Lines> setPreedit(const QString &preedit, int cursor);
    const QString &preedit() const { return m_preedit; }
    // After the caret moved: a composition goes with it.
    std::optional<Lines> followCaret();

    // A caret at a wrapped line's end shows there, not at the start of the next line.
    void setCaretAtLineEnd(bool atLineEnd) { m_caretAtLineEnd = atLineEnd; }
    bool caretAtLineEnd() const { return m_caretAtLineEnd; }
    int caretLine() const;
    qreal caretX() const;
    QRectF caretRect() const;
    // The line holding the character at a model position.
    int lineOf(int position) const { return m_lines.lineAt(toDisplay(position)); }
    // Where the character at `position` is drawn; the end of the text gives a zero-width
    // rectangle where the caret would be.
    QRectF characterRect(int position) const;
    // The caret position nearest to a point; a point on the composition gives its start.
    int positionAt(QPointF point) const;
    // The caret position on `line` nearest to x.
    int positionOnLine(int line, qreal x) const;
    int lineStartPosition(int line) const;
    // The end of a line's visible characters; *atLineEnd says whether a caret there shows at
    // this line's end (no line break ends the line).
    int lineEndPosition(int line, bool *atLineEnd) const;
    // What to repaint for a change of the format of characters [from, to).
    std::vector<QRectF> rangeRects(int from, int to) const;
    // The whole width of the lines, to the bottom of any view for lines to the end.
    QRectF linesRect(Lines lines) const;
    // The scroll position that shows `line` in a view of `height` starting at `scroll`, and
    // the line after it too where the view has room for both, so the text ahead stays
    // readable: a line that has just become the last one in view scrolls up by one.
    int scrollToShow(int line, int scroll, int height) const;

    // Paints the part `area` (viewport coordinates) of a view scrolled to `scroll`. The
    // selection shows only with `showSelection`, so that the reference box's current
    // character stays just blue and underlined.
    void paint(QPainter &painter, const QRect &area, int scroll, const QPalette &palette,
               bool showSelection, bool showCaret) const;

private:
    // Positions between characters of the model's text and of the display text, which
    // holds the composition at m_preeditPos.
    int toDisplay(int position) const;
    int fromDisplay(int position) const;
    int displayCaret() const;

    const TextModel &m_model;
    TextLines m_lines;
    QString m_display;
    QString m_preedit;
    int m_preeditPos = 0;
    int m_preeditCursor = 0;
    int m_lineHeight = 1;
    int m_viewWidth = 0;
    bool m_caretAtLineEnd = false;
};
