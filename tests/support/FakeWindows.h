// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/widgets/ModalRunner.h"
#include "tests/support/FakeDialogs.h"

#include <functional>

// Runs modal windows without a person: each is recorded in `dialogs`, then the answerer may
// inspect and drive it (fill fields, click buttons) and returns its result. Without an
// answerer a message box answers with its default button (or OK) and other dialogs are
// rejected.
class FakeWindows final : public ModalRunner
{
public:
    explicit FakeWindows(FakeDialogs &dialogs)
        : m_dialogs(dialogs)
    {}

    int exec(QDialog &dialog) override;

    // An answerer for tests where any box may come up: Yes to a question, OK to any other
    // message box, and every other dialog rejected.
    static int yesOrOk(QDialog &dialog);

    std::function<int(QDialog &)> answer;

private:
    FakeDialogs &m_dialogs;
};
