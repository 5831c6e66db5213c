#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>

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
    void focusInEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    struct Private;
    Private *d;
};
