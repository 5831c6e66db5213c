// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The statistics row of the practice window as one refresh leaves it.
struct PracticeDisplay
{
    QString speed;     // Lmsg2
    QString progress;  // Lmsg
    QString timing;    // Ltime
    QString elapsed;   // Ltime2
    QString remaining; // Ltime3
    bool chartShown = false;
};
