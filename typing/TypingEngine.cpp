// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/TypingEngine.h"

#include "core/ClientState.h"
#include "core/MainControls.h"
#include "env/InputMethodSelection.h"
#include "hints/HintDelay.h"
#include "typing/TestSession.h"

#include <algorithm>

namespace {

// The counters are 16-bit values: a count beyond that range stays at its top.
int counted(qsizetype length)
{
    return int(std::min<qsizetype>(length, ClientState::kMaxCount));
}

} // namespace

TypingEngine::TypingEngine(ClientState &state, MainControls &ui, HintDelay &hints,
                           InputMethodSelection &imes, TestSession &session)
    : m_state(state)
    , m_ui(ui)
    , m_hints(hints)
    , m_imes(imes)
    , m_session(session)
{}

void TypingEngine::txt2_Change(const QString &typed)
{
    ClientState &s = m_state;
    MainControls &ui = m_ui;

    m_hints.resetHint();

    const QString &reference = ui.txt1->text();
    const int l1 = int(reference.size());
    const int l2 = int(typed.size());

    // Typing past the end of the reference compares and colours nothing.
    if (l1 >= l2) {
        m_session.typingStarted();
        colourTyped(reference, typed, s.NumNextStart);
        s.NumNextStart = l2;
        ui.txt2->select(l2, 1);
        markCurrent(l2);
    }

    m_imes.reactivate();
    JiSuan();

    if (l2 >= l1)
        m_session.textCompleted();
}

// Compares the typed positions from `from` (zero-based) to the end of the typed text and
// colours them in both boxes, a run of equal outcomes at a time. Positions before `from`
// were coloured by earlier changes and are not looked at again.
void TypingEngine::colourTyped(const QString &reference, const QString &typed, int from)
{
    ClientState &s = m_state;
    MainControls &ui = m_ui;
    const int end = int(typed.size());
    int i = std::max(from, 0);
    while (i < end) {
        const bool right = reference[i] == typed[i];
        int j = i + 1;
        while (j < end && (reference[j] == typed[j]) == right)
            ++j;
        const QColor &color = right ? s.ColorRight : s.ColorErr;
        ui.txt1->setFormat(i, j - i, color, false);
        ui.txt2->setFormat(i, j - i, color, false);
        if (!right) {
            for (int k = i; k < j; ++k) {
                const QChar wanted = reference[k];
                if (!s.errChar.contains(wanted)) {
                    s.errChar += wanted;
                    s.cuowu += wanted;
                    s.errTyped += typed[k];
                }
            }
        }
        i = j;
    }
}

// The reference character at `position` (zero-based) is the next one to type. Its selection
// is also how the word hint finds the current position.
void TypingEngine::markCurrent(int position)
{
    m_ui.txt1->select(position, 1);
    m_ui.txt1->setFormat(position, 1, m_state.ColorNow, true);
}

void TypingEngine::JiSuan()
{
    ClientState &s = m_state;
    const QString &typed = m_ui.txt2->text();
    const QString &reference = m_ui.txt1->text();
    s.NumTxtInputCount = counted(typed.size());
    s.NumTxtCount = counted(reference.size());
    s.NumTxtRight = countMatches(reference, typed);
}

int TypingEngine::countMatches(const QString &reference, const QString &typed)
{
    const qsizetype length = std::min(reference.size(), typed.size());
    const QChar *a = reference.constData();
    const QChar *b = typed.constData();
    // A plain loop the compiler turns into vector compares; it runs on every keystroke over
    // up to 32767 positions.
    int matches = 0;
    for (qsizetype i = 0; i < length; ++i)
        matches += a[i] == b[i];
    return std::min(matches, int(ClientState::kMaxCount));
}
