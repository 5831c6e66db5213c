// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/widgets/RootInputBox.h"

#include <QKeyEvent>

RootInputBox::RootInputBox(QWidget *parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QLineEdit::textChanged, this, &RootInputBox::caretToEnd);
}

void RootInputBox::showRoots(const QString &roots)
{
    if (text() != roots)
        setText(roots);
    caretToEnd();
}

void RootInputBox::caretToEnd()
{
    deselect();
    setCursorPosition(int(text().size()));
}

void RootInputBox::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    event->accept();
    emit keyReleased(event->key());
}

void RootInputBox::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    caretToEnd();
}

void RootInputBox::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    caretToEnd();
}

void RootInputBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click would select a word of roots.
    event->accept();
    caretToEnd();
}

void RootInputBox::inputMethodEvent(QInputMethodEvent *event)
{
    // Should an input method deliver text anyway, none of it goes into the box.
    event->accept();
}
