// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Dialogs.h"

class ModalRunner;

// The handlers' message boxes as modal QMessageBox windows over the window the student works
// in, run through a ModalRunner.
class WindowDialogs final : public Dialogs
{
public:
    explicit WindowDialogs(ModalRunner &runner);

    Button message(Icon icon, const QString &title, const QString &text, int buttons,
                   Button defaultButton) override;

private:
    ModalRunner &m_runner;
};
