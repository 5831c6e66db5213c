// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

struct ClientState;
class MainControls;

// The statistics row of the main window: speed, progress text, progress bar and the three time
// labels, refreshed from the counters once a second by the test clock and once at start-up.
class StatisticsDisplay
{
public:
    StatisticsDisplay(const ClientState &state, MainControls &ui);

    // The whole row; `maxMinutes` is the limit of the running exercise (0: none).
    void refresh(int maxMinutes);
    void showSpeedAndProgress(int maxMinutes);
    void showProgressBar();
    void showTimes(int maxMinutes);

private:
    const ClientState &m_state;
    MainControls &m_ui;
};
