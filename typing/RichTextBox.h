#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>

#include <memory>

// A text box for the reference text and the student's typing: plain text with a colour and an
// emphasis flag per character, drawn by the box itself so that colouring one character on a
// text of 32767 characters costs a small repaint, not a new layout.
//
// Positions count UTF-16 code units from 0. Formatting acts on the selection; selections are
// clamped at the end of the text. Setting the text to something different raises changed()
// before setText returns. The box pastes nothing by any route: only typing (keys and input
// method commits) and the client's own calls change it.
class RichTextBox : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    QString text() const;
    void setText(const QString &text);

    int selStart() const;
    void setSelStart(int start);
    int selLength() const;
    void setSelLength(int length);

    // Formatting of the selected characters; an empty selection changes nothing visible.
    void setSelColor(const QColor &color);
    void setSelEmphasis(bool on);

    void setReadOnly(bool readOnly);
    bool isReadOnly() const;

    // Per-character formatting, for tests and painting. Out-of-range positions give the
    // default colour and no emphasis.
    QColor charColor(int position) const;
    bool charEmphasis(int position) const;

    // Scrolls so that the line holding the character at `position` is visible. Selection
    // changes and typing do this by themselves once the current event has been handled, so
    // that many selection changes within one handler scroll (at most) once.
    void ensureVisible(int position);
    // Where the character at `position` is drawn, in viewport coordinates; the end of the
    // text gives a zero-width rectangle where the caret would be.
    QRect characterRect(int position) const;
    int lineCount() const;
    // The composition the input method is showing at the caret; not part of text().
    QString preeditText() const;

signals:
    void changed();
    void gotFocus();
    // Key codes are the virtual-key codes the handlers were written for (8 Backspace,
    // 37-40 arrows, 65-90 letters...); shift is a bit set: 1 Shift, 2 Ctrl, 4 Alt.
    // keyDown is raised before the box processes the key.
    void keyDown(int keyCode, int shift);
    void keyUp(int keyCode, int shift);
    void mouseUp(int button, int shift, int x, int y);

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
    void timerEvent(QTimerEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
