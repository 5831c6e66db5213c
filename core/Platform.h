// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// Small interfaces over the services of the desktop the client runs on. Each has a real
// backend (core/SystemPlatform, env/) and a fake in tests/support.

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard and, where the desktop has one, the primary selection.
    virtual void clear() = 0;
};

class MachineInfo
{
public:
    virtual ~MachineInfo() = default;
    // A stable name of this computer; it travels in progress reports.
    virtual QString computerName() = 0;
};

// The keyboard input methods of the desktop session: core/InputMethodService.h.

// The titles of the top-level windows open on the desktop.
class WindowTitles
{
public:
    virtual ~WindowTitles() = default;
    virtual QStringList titles() = 0;
};
