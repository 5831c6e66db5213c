// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <memory>

class TextModel;

// The view of a TextModel (the reference text or the student's typing). It turns keys, mouse
// and input method events into the model's notifications and the editing commands of
// core/TextEditing, and repaints what the model's signals say changed; TextBoxLayout lays the
// text out and paints it with each character's colour and emphasis, so that colouring one
// character on a text of 32767 characters costs a small repaint, not a new layout. The text,
// the selection and the formats are the model's: code that holds the box uses model(). The
// box pastes nothing by any route.
class RichTextBox : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // A box with a model of its own.
    explicit RichTextBox(QWidget *parent = nullptr);
    // A view of `model`, which must outlive the box.
    explicit RichTextBox(TextModel *model, QWidget *parent = nullptr);
    ~RichTextBox() override;

    TextModel *model() const;
    // Whether mouse presses and drags move the selection (on by default). The reference box
    // turns it off: its selection marks the current position, which the word hint reads.
    void setMouseSelects(bool on);

    // Scrolls so that the line holding the character at `position` is visible. Selection
    // changes and typing do this by themselves once the current event has been handled, so
    // that many selection changes within one handler scroll (at most) once.
    void ensureVisible(int position);
    // Where the character at `position` is drawn, in viewport coordinates; the end of the
    // text gives a zero-width rectangle where the caret would be.
    QRect characterRect(int position) const;
    int lineCount() const;
    // The composition the input method is showing at the caret; not part of the text.
    QString preeditText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
