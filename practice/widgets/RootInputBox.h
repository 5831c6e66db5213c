// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLineEdit>

// The typing box of root practice: it shows the roots accepted on the current page and takes
// no typing. Its input method is off, so that every letter key arrives as a key release rather
// than as a composition, and its caret always stands at the end of its text.
class RootInputBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit RootInputBox(QWidget *parent = nullptr);

    // Shows the accepted roots, caret at the end.
    void showRoots(const QString &roots);
    void caretToEnd();

signals:
    // A key was released (a held key's repeats are not releases of their own).
    void keyReleased(int key);

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};
