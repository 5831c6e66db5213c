// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FakeDialogs.h"

Dialogs::Button FakeDialogs::message(Icon icon, const QString &title, const QString &text,
                                     int buttons, Button defaultButton)
{
    const Shown record{QStringLiteral("QMessageBox"), title, text, icon, buttons};
    shown << record;
    if (answerMessage)
        return answerMessage(record);
    return defaultButton != NoButton ? defaultButton : Ok;
}

FakeDialogs::Shown FakeDialogs::lastBox() const
{
    for (auto it = shown.crbegin(); it != shown.crend(); ++it) {
        if (it->className == QLatin1String("QMessageBox"))
            return *it;
    }
    return {};
}
