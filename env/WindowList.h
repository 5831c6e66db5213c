// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// What one source tells about the session's windows: their titles in its order, and, where it
// knows them, the processes and application ids that own windows (a program with a window
// is found by its title; only programs without one are looked for among the processes).
struct WindowList
{
    QStringList titles;
    QSet<qint64> pids;
    QSet<QString> appIds;

    void append(const WindowList &other)
    {
        titles += other.titles;
        pids += other.pids;
        appIds += other.appIds;
    }
};
