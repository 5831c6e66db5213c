// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/HintDelay.h"

#include "core/Blanks.h"
#include "core/ClientState.h"
#include "core/MainControls.h"
#include "hints/CodeTables.h"
#include "hints/RootDisplay.h"

namespace {

const QString kCaption = QStringLiteral("显示编码提示");

} // namespace

HintDelay::HintDelay(ClientState &state, MainControls &ui, const CodeTables &tables,
                     RootDisplay &roots)
    : m_state(state)
    , m_ui(ui)
    , m_tables(tables)
    , m_roots(roots)
{}

void HintDelay::resetHint()
{
    m_roots.ClearZg();
    m_state.IsHintPending = true;
    m_state.dengdaishijian = 0;
}

void HintDelay::hintStep()
{
    ClientState &state = m_state;
    if (!state.IsHintPending)
        return;
    ControlModel *cts = m_ui.cts;
    if (!cts->isChecked()) {
        cts->setText(kCaption);
        m_roots.ClearZg();
        state.IsHintPending = false;
        return;
    }
    if (state.dengdaishijian < state.NumHintDelay) {
        ++state.dengdaishijian;
        cts->setText(kCaption + u'(' + QString::number(state.NumHintDelay - state.dengdaishijian) +
                     QStringLiteral("秒后)"));
        return;
    }
    // The countdown is over: the caption says so, rather than "(0秒后)" beside a hint that has
    // long appeared.
    state.dengdaishijian = 0;
    cts->setText(kCaption);
    if (state.IsCzText)
        showWordHint();
    else
        showCharacterHint();
    state.IsHintPending = false;
}

void HintDelay::cts_Click()
{
    m_state.IsHintPending = m_ui.cts->isChecked();
    m_ui.txt2->setFocus();
}

void HintDelay::showCharacterHint()
{
    // The next character to type; nothing once the whole text has been typed.
    const QString &reference = m_ui.txt1->text();
    const qsizetype typed = m_ui.txt2->text().size();
    const QString next = typed < reference.size() ? reference.mid(typed, 1) : QString();

    m_ui.LBM->setText(m_tables.FindWord(next));
    m_roots.DispZG(next);
}

void HintDelay::showWordHint()
{
    m_roots.ClearZg();
    // The word runs from the current reference position up to and including the next blank;
    // with no blank after the position there is no word.
    const QString &reference = m_ui.txt1->text();
    const int start = m_ui.txt1->selStart();
    const qsizetype blank = start <= reference.size() ? reference.indexOf(u' ', start) : -1;
    const QString word = blank >= 0 ? reference.mid(start, blank - start + 1) : QString();

    // Only spaces are trimmed: other spaces, such as the full-width one, belong to the word.
    m_ui.LBM->setText(word + QStringLiteral("    ") +
                      m_tables.FindCz(blanks::trimmed(word, blanks::Set::SpacesOnly)));
}
