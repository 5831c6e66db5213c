// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QColor>
#include <QObject>
#include <QString>

#include <vector>

// The content of a text box without the box: plain text with a colour and an emphasis flag per
// character, the selection, and the read-only and enabled flags. The handlers work on it; the
// text box view draws it and turns typing into edits of it.
//
// Positions count UTF-16 code units from 0; selections and formatted ranges are clamped at
// the end of the text. A change of the text raises edited() (or reset()) for views
// and then changed() with the new text for the handlers.
class TextModel : public QObject
{
    Q_OBJECT
public:
    static constexpr QRgb kDefaultColor = 0xff000000;

    // How a view should scroll after a selection change.
    enum class Follow { Caret, SelStart };

    explicit TextModel(QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    int length() const { return int(m_text.size()); }
    // A different text replaces the old one with default formats and the caret at 0.
    void setText(const QString &text);
    // text[from, from + removed) becomes `inserted` (new characters take the format of the
    // character before them) and the caret goes after it. Replacing a range with the same
    // characters only moves the caret.
    void replace(int from, int removed, const QString &inserted);

    int selStart() const { return std::min(m_anchor, m_caret); }
    int selEnd() const { return std::max(m_anchor, m_caret); }
    int selLength() const { return selEnd() - selStart(); }
    void setSelStart(int start);
    void setSelLength(int length);
    // Both at once: the selection starts at `start` and extends over `length` characters,
    // clamped as the two setters clamp.
    void select(int start, int length);
    int anchor() const { return m_anchor; }
    int caret() const { return m_caret; }
    // Moves both ends (clamped); `follow` tells views what to bring into view. A selection
    // that stays as it was raises nothing.
    void setSelection(int anchor, int caret, Follow follow);

    // Characters [from, from + length), clamped to the text, take `color` and `emphasis`,
    // whatever the selection is. One formatChanged covers what changed; none if nothing did.
    void setFormat(int from, int length, const QColor &color, bool emphasis);
    // Out-of-range positions give the default colour and no emphasis.
    QColor charColor(int position) const;
    bool charEmphasis(int position) const;
    const std::vector<QRgb> &colors() const { return m_colors; }
    const std::vector<quint8> &emphasis() const { return m_emphasis; }

    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // Focus lives in the view: handlers ask for it, the view reports it.
    void setFocus() { emit focusRequested(); }
    bool hasFocus() const { return m_focused; }

    // Called by the view for the student's actions; each raises the matching signal.
    void notifyFocusIn();
    void notifyFocusOut() { m_focused = false; }
    void notifyKeyDown(int keyCode, int shift) { emit keyDown(keyCode, shift); }
    void notifyKeyUp(int keyCode, int shift) { emit keyUp(keyCode, shift); }
    void notifyMouseUp(int button, int shift, int x, int y) { emit mouseUp(button, shift, x, y); }
    // Every event of the input method (a key it keeps as composition, a change of the
    // composition, a commit): such keys never arrive as keyDown.
    void notifyInputMethod() { emit inputMethodUsed(); }

signals:
    // For views, in this order around a change of the text.
    void aboutToEdit();
    void edited(int from, int removed, int inserted);
    void reset();
    // For handlers: the text after a change (setText of a different text, typing).
    void changed(const QString &text);

    void selectionAboutToChange(int anchor, int caret);
    void selectionChanged(int anchor, int caret, TextModel::Follow follow);
    void formatChanged(int from, int to);
    void readOnlyChanged(bool readOnly);
    void enabledChanged(bool enabled);
    void focusRequested();

    // The student's actions in the view. Key codes are virtual-key codes (8 Backspace, 37-40
    // arrows, 65-90 letters...); shift is a bit set: 1 Shift, 2 Ctrl, 4 Alt. keyDown comes
    // before the view processes the key.
    void gotFocus();
    void keyDown(int keyCode, int shift);
    void keyUp(int keyCode, int shift);
    void mouseUp(int button, int shift, int x, int y);
    void inputMethodUsed();

private:
    QString m_text;
    std::vector<QRgb> m_colors;
    std::vector<quint8> m_emphasis;
    int m_anchor = 0;
    int m_caret = 0;
    bool m_readOnly = false;
    bool m_enabled = true;
    bool m_focused = false;
};
