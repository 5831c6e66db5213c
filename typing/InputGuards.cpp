#include "typing/InputGuards.h"

#include "core/Client.h"
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
    box->setSelStart(int(box->text().size()));
    box->setSelLength(0);
}

} // namespace

InputGuards::InputGuards(Client &client)
    : m_client(client)
{}

void InputGuards::txt1_GotFocus()
{
    // The reference box never keeps the focus: no caret in it, no copying from it.
    m_client.ui.txt2->setFocus();
}

void InputGuards::txt2_GotFocus()
{
    m_client.imes->reactivate();
}

void InputGuards::txt2_KeyDown(int keyCode, int shift)
{
    ClientState &s = m_client.state;
    TextModel *txt2 = m_client.ui.txt2;

    m_client.imes->reactivate();

    if (keyCode == kKeyV && shift == kCtrl) {
        // The paste that follows finds nothing, here or in any other program. Disabling the
        // box pushes the focus on to the next control, so it is brought back.
        const bool focused = txt2->hasFocus();
        txt2->setEnabled(false);
        if (Clipboard *clipboard = m_client.services.clipboard)
            clipboard->clear();
        txt2->setEnabled(true);
        if (focused)
            txt2->setFocus();
    }

    if (s.IsWorking && keyCode == kBackspace) {
        const int typed = int(txt2->text().size());
        // The deletion has not happened yet: the change that follows it compares nothing.
        s.NumNextStart = std::min(typed, int(ClientState::kMaxCount));
        if (s.NumKeyBackup < ClientState::kMaxCount)
            ++s.NumKeyBackup;
        m_client.typing->JiSuan();
        // The current-position mark goes before the deletion moves the position back.
        TextModel *txt1 = m_client.ui.txt1;
        txt1->setSelStart(typed);
        txt1->setSelLength(1);
        txt1->setSelColor(s.ColorNoinput);
        txt1->setSelEmphasis(false);
    }
}

void InputGuards::txt2_KeyUp(int keyCode, int)
{
    if (keyCode >= kLeft && keyCode <= kDown)
        caretToEnd(m_client.ui.txt2);
}

void InputGuards::txt2_MouseUp(int, int, int, int)
{
    caretToEnd(m_client.ui.txt2);
}
