// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The message boxes of the client, as the handlers ask for them. The main window shows them as
// modal boxes; tests answer them without a person. Icon and button values are those of the
// desktop's standard message box, so a view can pass them on unchanged.
class Dialogs
{
public:
    enum Icon { Information = 1, Warning = 2, Critical = 3 };
    enum Button { NoButton = 0, Ok = 0x00000400, Yes = 0x00004000, No = 0x00010000 };

    virtual ~Dialogs() = default;
    // Shows the message modally and returns the button that closed it.
    virtual Button message(Icon icon, const QString &title, const QString &text, int buttons,
                           Button defaultButton) = 0;
};

// The application title that boxes without a title of their own carry.
QString applicationTitle();

// Shows a message through `dialogs`; returns the button that closed it.
Dialogs::Button showMessage(Dialogs &dialogs, Dialogs::Icon icon, const QString &title,
                            const QString &text, int buttons = Dialogs::Ok,
                            Dialogs::Button defaultButton = Dialogs::NoButton);
