// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

struct ClientState;
class Clipboard;
class InputMethodSelection;
class MainControls;
class TypingEngine;

// Guards on the two text boxes: focus, input method, paste, Backspace, caret at the end.
class InputGuards
{
public:
    InputGuards(ClientState &state, MainControls &ui, Clipboard *clipboard,
                InputMethodSelection &imes, TypingEngine &typing);

    void txt1_GotFocus();
    void txt2_GotFocus();
    void txt2_KeyDown(int keyCode, int shift);
    void txt2_KeyUp(int keyCode, int shift);
    void txt2_MouseUp(int button, int shift, int x, int y);

private:
    ClientState &m_state;
    MainControls &m_ui;
    Clipboard *m_clipboard;
    InputMethodSelection &m_imes;
    TypingEngine &m_typing;
};
