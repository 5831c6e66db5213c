// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/InputGuards.h"

#include "core/ClientState.h"
#include "core/MainControls.h"
#include "core/Platform.h"
#include "env/InputMethodSelection.h"
#include "typing/TypingEngine.h"

#include <algorithm>

namespace {

constexpr int kBackspace = 8;
constexpr int kLeft = 37;
constexpr int kDown = 40;
constexpr int kKeyV = 86;
constexpr int kCtrl = 2;

void caretToEnd(TextModel *box)
{
    box->select(box->length(), 0);
}

} // namespace

InputGuards::InputGuards(ClientState &state, MainControls &ui, Clipboard *clipboard,
                         InputMethodSelection &imes, TypingEngine &typing)
    : m_state(state)
    , m_ui(ui)
    , m_clipboard(clipboard)
    , m_imes(imes)
    , m_typing(typing)
{}

void InputGuards::txt1_GotFocus()
{
    // The reference box never keeps the focus: no caret in it, no copying from it.
    m_ui.txt2->setFocus();
}

void InputGuards::txt2_GotFocus()
{
    m_imes.reactivate();
}

void InputGuards::txt2_KeyDown(int keyCode, int shift)
{
    ClientState &s = m_state;
    TextModel *txt2 = m_ui.txt2;

    m_imes.reactivate();

    if (keyCode == kKeyV && shift == kCtrl) {
        // The paste that follows finds nothing, here or in any other program. Disabling the
        // box pushes the focus on to the next control, so it is brought back.
        const bool focused = txt2->hasFocus();
        txt2->setEnabled(false);
        if (m_clipboard)
            m_clipboard->clear();
        txt2->setEnabled(true);
        if (focused)
            txt2->setFocus();
    }

    // A locked box deletes nothing: its Backspace belongs to no test (the root practice window
    // has the test while the main window's box is locked).
    if (s.IsWorking && keyCode == kBackspace && !txt2->isReadOnly()) {
        const int typed = int(txt2->text().size());
        // The deletion has not happened yet: the change that follows it compares nothing.
        s.NumNextStart = std::min(typed, int(ClientState::kMaxCount));
        if (s.NumKeyBackup < ClientState::kMaxCount)
            ++s.NumKeyBackup;
        m_typing.JiSuan();
        // The current-position mark goes before the deletion moves the position back.
        TextModel *txt1 = m_ui.txt1;
        txt1->select(typed, 1);
        txt1->setFormat(typed, 1, s.ColorNoinput, false);
    }
}

void InputGuards::txt2_KeyUp(int keyCode, int)
{
    if (keyCode >= kLeft && keyCode <= kDown)
        caretToEnd(m_ui.txt2);
}

void InputGuards::txt2_MouseUp(int, int, int, int)
{
    caretToEnd(m_ui.txt2);
}
