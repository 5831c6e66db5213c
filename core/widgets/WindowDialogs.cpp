// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/WindowDialogs.h"

#include "core/widgets/ModalRunner.h"

#include <QApplication>
#include <QMessageBox>

WindowDialogs::WindowDialogs(ModalRunner &runner)
    : m_runner(runner)
{}

Dialogs::Button WindowDialogs::message(Icon icon, const QString &title, const QString &text,
                                       int buttons, Button defaultButton)
{
    // Over the modal window that is open (a settings dialog), else over the active window.
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Icon(icon), title, text,
                    QMessageBox::StandardButtons(QMessageBox::StandardButton(buttons)), parent);
    // Messages quote names from the server and the settings file: shown as written.
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != NoButton)
        box.setDefaultButton(QMessageBox::StandardButton(defaultButton));
    return Button(m_runner.exec(box));
}
