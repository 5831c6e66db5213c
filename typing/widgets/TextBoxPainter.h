// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "typing/widgets/TextBoxLayout.h"

#include <QBasicTimer>
#include <QObject>
#include <QRect>

class QAbstractScrollArea;
class QPainter;
class TextModel;

// Keeps what a text box shows in step with its model: it lays the text out (TextBoxLayout),
// repaints just what a change of the text, the selection, the formats or the composition
// touched, keeps the scroll bar's range, scrolls the caret or the selection into view once the
// current event has been handled, and blinks the caret while the box has the focus. The box
// (RichTextBox) handles the student's input.
class TextBoxPainter : public QObject
{
    Q_OBJECT
public:
    // Both must outlive the painter, which the box keeps.
    TextBoxPainter(const TextModel &model, QAbstractScrollArea &box);

    const TextBoxLayout &layout() const { return m_layout; }
    // Paints the part `area` of the box's viewport.
    void paint(QPainter &painter, const QRect &area) const;
    void fontChanged();
    void resized();
    void focusChanged();

    // Shows the input method's composition at the caret.
    void setPreedit(const QString &preedit, int cursor);
    // A caret at the end of a wrapped line shows there or at the start of the next line.
    void setCaretAtLineEnd(bool atLineEnd);
    // The caret shows at once, blinks again from there and comes into view.
    void showCaret();
    // Scrolls so that the line holding the character at `position` is in view.
    void ensureVisible(int position);

    // In viewport coordinates.
    QRect characterRect(int position) const;
    QRect caretRect() const;
    int positionAt(QPointF point) const;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    enum class Scroll { None, Caret, SelStart };

    int scrollY() const;
    QRect toViewport(const QRectF &content) const;
    void update(const QRectF &content);
    void updateLines(std::optional<TextBoxLayout::Lines> lines);
    void updateCaret();
    void updateScrollBar();
    void updateAll();
    void restartBlink();
    void scheduleScroll(Scroll target);
    void scrollToLine(int line);
    void preeditMoved(std::optional<TextBoxLayout::Lines> lines);
    void textChanged();
    void selectionAboutToChange(int anchor, int caret);
    void selectionChanged(bool followSelStart);

    const TextModel &m_model;
    QAbstractScrollArea &m_box;
    TextBoxLayout m_layout;
    QBasicTimer m_blink;
    bool m_caretOn = true;
    Scroll m_pendingScroll = Scroll::None;
};
