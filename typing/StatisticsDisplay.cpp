// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/StatisticsDisplay.h"

#include "core/ClientState.h"
#include "core/Figures.h"
#include "core/MainControls.h"

StatisticsDisplay::StatisticsDisplay(const ClientState &state, MainControls &ui)
    : m_state(state)
    , m_ui(ui)
{}

void StatisticsDisplay::refresh(int maxMinutes)
{
    showSpeedAndProgress(maxMinutes);
    showProgressBar();
    showTimes(maxMinutes);
}

void StatisticsDisplay::showSpeedAndProgress(int maxMinutes)
{
    const figures::Display d = figures::display(m_state.counts(), maxMinutes);
    m_ui.Lmsg2->setText(d.speed);
    m_ui.Lmsg->setText(d.progress);
}

void StatisticsDisplay::showProgressBar()
{
    const ClientState &s = m_state;
    ProgressModel *bar = m_ui.pb;
    if (s.NumTxtCount <= 0)
        return;
    bar->setMaximum(s.NumTxtCount);
    bar->setMinimum(0);
    // A value past the maximum is refused: the bar keeps what it showed.
    bar->setValue(s.NumTxtInputCount);
}

void StatisticsDisplay::showTimes(int maxMinutes)
{
    const figures::Display d = figures::display(m_state.counts(), maxMinutes);
    m_ui.Ltime->setText(d.timing);
    m_ui.Ltime2->setText(d.elapsed);
    m_ui.Ltime3->setText(d.remaining);
}
