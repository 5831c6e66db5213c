// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"

#include <QList>
#include <QString>

struct ClientState;
class Dialogs;
class InputMethodService;
class MainControls;

// The input method list cmbshurufa: filled from the server's rule with the input methods of
// the desktop's framework, and the chosen one pulled back at every key, focus and change of
// the typing box.
class InputMethodSelection
{
public:
    // The framework's entries beyond this many are left out.
    static constexpr int kMaxEntries = 16;

    InputMethodSelection(ClientState &state, MainControls &ui, InputMethodService *service,
                         Dialogs &dialogs);

    void ReadShurufa();
    void FillShurufa(const QString &rule);
    void cmbshurufa_Click();
    // Activates ActIme again when the list holds at least one entry. Never waits for the
    // framework, so it may run at every keystroke.
    void reactivate();
    // Tells the student once what keeps Chinese input from working in this client, if anything.
    void tellSetupProblem();

    // The framework's entries as last read (ImeHkl and ImeName side by side).
    const QList<InputMethodEntry> &installed() const { return m_installed; }

private:
    ClientState &m_state;
    MainControls &m_ui;
    InputMethodService *m_service;
    Dialogs &m_dialogs;
    QList<InputMethodEntry> m_installed;
};
