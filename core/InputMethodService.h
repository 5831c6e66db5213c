// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

// One input method of the desktop's input method framework.
struct InputMethodEntry
{
    QString id;          // the framework's own name of it; activation uses this
    QString description; // what the student sees; empty for a plain keyboard layout

    bool operator==(const InputMethodEntry &) const = default;
};

// The outcome of reading the framework's list: the entries in the framework's order, or why
// they could not be read (then entries is empty).
struct InputMethodListing
{
    QList<InputMethodEntry> entries;
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// The keyboard input methods of the desktop session (fcitx5, IBus or none).
class InputMethodService
{
public:
    virtual ~InputMethodService() = default;

    // Reads the framework's list anew: the student may have changed it since the last read.
    virtual InputMethodListing read() = 0;
    // Makes the input method with this id the active one of the client's focused window. Never
    // waits for the framework: the switch happens a little later, and only when the framework
    // is not already on it.
    virtual void activate(const QString &id) = 0;
    // The active input method as last seen; empty while unknown.
    virtual QString active() const = 0;
    // Which framework answers: "fcitx5", "ibus" or "none".
    virtual QString framework() const = 0;
    // What keeps the student from typing Chinese in this client, in words for the student
    // (what to install or set up); empty when nothing does.
    virtual QString setupProblem() const { return {}; }
};
