// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Dialogs.h"

#include <QList>
#include <QString>

#include <functional>

// Answers the handlers' message boxes without a person. Every box is recorded with its icon,
// title and text. Without an answerer a box answers with its default button, or OK.
// Window tests record the dialogs they run here too (FakeWindows).
class FakeDialogs final : public Dialogs
{
public:
    struct Shown
    {
        QString className; // the window's class: QMessageBox for a message box
        QString title;
        QString text;    // message boxes only
        int icon = 0;    // Dialogs::Icon
        int buttons = 0; // message boxes only
    };

    Button message(Icon icon, const QString &title, const QString &text, int buttons,
                   Button defaultButton) override;

    std::function<Button(const Shown &)> answerMessage;
    QList<Shown> shown;

    // The last message box shown, or an empty record.
    Shown lastBox() const;
    int count() const { return int(shown.size()); }
};
