// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

struct ClientState;
class Dialogs;
class WindowTitles;

// Warns the student about open windows of programs the server has forbidden.
class ForbiddenScan
{
public:
    ForbiddenScan(ClientState &state, WindowTitles *titles, Dialogs &dialogs);

    // Runs the check with the list part of a settings message ("|"-separated names).
    void check(const QString &list);

private:
    ClientState &m_state;
    WindowTitles *m_titles;
    Dialogs &m_dialogs;
};
