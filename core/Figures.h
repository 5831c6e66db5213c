// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// The figures of a test and the texts they are written as, in one place: the student's window,
// root practice and the teacher's console all show a figure through these, so that every screen
// shows the same figure for the same counts. Rounding is half away from zero on the exact
// quotient (integer arithmetic), so 1 right character in 240 seconds is 0.3 and not whatever a
// binary product of the quotient happens to give.
namespace figures {

// The counters of one test, as the reports carry them.
struct Counts
{
    int totalTime = 0;  // seconds
    int txtCount = 0;   // characters of the text
    int inputCount = 0; // characters typed
    int right = 0;      // characters typed right
    int backspaces = 0;
};

// Right characters per minute in tenths (566 for 56.6); nothing without elapsed time.
std::optional<qint64> speedTenths(int right, int seconds);
// Right of typed in whole percent; nothing when nothing was typed.
std::optional<qint64> accuracyPercent(int right, int typed);

// Right characters per minute, one decimal ("56.6", "60.0"); "0.0" without elapsed time.
QString speedText(int right, int seconds);
// Tenths of a character per minute written with one decimal.
QString tenthsText(qint64 tenths);
// Right of typed in percent, a whole number ("67"); nothing typed gives "0".
QString accuracyText(int right, int typed);
// "2分5秒" for 125 seconds.
QString elapsedText(int seconds);
// Remaining time of a limit in minutes: both parts carry the sign, "0分-5秒" when 5 seconds past.
QString remainingText(int maxMinutes, int seconds);

// The statistics row of a window once a second: speed, progress text and the three time labels.
struct Display
{
    QString speed;     // "0" before the first second
    QString progress;  // "120/300(正确98%)"; "0/0(正确100%)" before the first second
    QString timing;    // "不限时" or "限时10分钟"
    QString elapsed;   // "2分5秒"
    QString remaining; // "不限" or "7分55秒"
};
Display display(const Counts &counts, int maxMinutes);

// The statistics sentence of the result window.
QString sentence(const Counts &counts);

} // namespace figures
