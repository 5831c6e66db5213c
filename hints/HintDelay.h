// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

struct ClientState;
class CodeTables;
class MainControls;
class RootDisplay;

// The pause before a code hint and the hint check box cts.
class HintDelay
{
public:
    HintDelay(ClientState &state, MainControls &ui, const CodeTables &tables, RootDisplay &roots);

    // First step of every change of the typing box: clear the hint, restart the pause.
    void resetHint();
    // Last step of every tick of the test clock.
    void hintStep();
    // Click of the hint check box.
    void cts_Click();

private:
    void showCharacterHint();
    void showWordHint();

    ClientState &m_state;
    MainControls &m_ui;
    const CodeTables &m_tables;
    RootDisplay &m_roots;
};
