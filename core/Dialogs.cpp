// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Dialogs.h"

QString applicationTitle()
{
    return QStringLiteral("澄岭文字录入测试系统客户端");
}

Dialogs::Button showMessage(Dialogs &dialogs, Dialogs::Icon icon, const QString &title,
                            const QString &text, int buttons, Dialogs::Button defaultButton)
{
    return dialogs.message(icon, title, text, buttons, defaultButton);
}
