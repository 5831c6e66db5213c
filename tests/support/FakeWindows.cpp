// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FakeWindows.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

int FakeWindows::exec(QDialog &dialog)
{
    FakeDialogs::Shown record;
    record.className = QString::fromLatin1(dialog.metaObject()->className());
    record.title = dialog.windowTitle();
    auto *box = qobject_cast<QMessageBox *>(&dialog);
    if (box) {
        record.text = box->text();
        record.icon = box->icon();
        record.buttons = int(box->standardButtons());
    }
    m_dialogs.shown << record;
    if (answer)
        return answer(dialog);
    if (box) {
        if (QAbstractButton *def = box->defaultButton())
            return box->standardButton(def);
        return QMessageBox::Ok;
    }
    return QDialog::Rejected;
}

int FakeWindows::yesOrOk(QDialog &dialog)
{
    auto *box = qobject_cast<QMessageBox *>(&dialog);
    if (box && box->standardButtons().testFlag(QMessageBox::Yes))
        return QMessageBox::Yes;
    return box ? int(QMessageBox::Ok) : int(QDialog::Rejected);
}
