// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "env/DesktopEntries.h"
#include "env/WindowList.h"

#include <QHash>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The programs running in the student's session (the processes of this user, from /proc), by
// the names a person knows them by: the Name and GenericName of each program's desktop entry
// in the desktop's language and in Chinese (zh_CN), and its executable's name. A program's
// entry is found through GIO_LAUNCHED_DESKTOP_FILE in its environment (set by GLib's
// launchers), through the application scope or service systemd put it in
// ("app-gnome-org.gnome.Calculator-1234.scope"), else through an entry whose Exec runs the
// same executable. Programs with a window in the lists of the window sources (by process or
// application id) are left out: their windows' titles already stand for them.
class SessionPrograms
{
public:
    // procRoot: where the processes are listed (tests give a folder of their own).
    explicit SessionPrograms(const QProcessEnvironment &environment,
                             QString procRoot = QStringLiteral("/proc"));

    // One title per name, in the order of the processes, each name once.
    QStringList names(const WindowList &windows);

    // The desktop id in a systemd unit name of an application, or nothing.
    static QString desktopIdOfUnit(const QString &unit);
    // The languages whose names count: the desktop's (LC_ALL, LC_MESSAGES, LANG) and zh_CN.
    static QStringList languagesOf(const QProcessEnvironment &environment);

private:
    struct Process
    {
        qint64 pid = 0;
        QString executable; // file name
        QStringList arguments;
        QString launchedFrom; // GIO_LAUNCHED_DESKTOP_FILE
        QString unit;         // the last part of its control group
    };
    // What /proc tells about a process, read once per process and program: its folder's time
    // tells a new process of the same number, its executable a program that replaced itself.
    const Process *process(qint64 pid);
    bool readProcess(const QByteArray &folder, qint64 pid, Process *process) const;
    std::optional<DesktopEntries::Entry> entryOf(const Process &process);

    struct Cached
    {
        qint64 started = 0;
        QByteArray executable; // where its exe pointed
        bool ours = false;
        Process process;
    };
    QHash<qint64, Cached> m_cache;
    QString m_procRoot;
    DesktopEntries m_entries;
    QStringList m_languages;
    uint m_uid;
    qint64 m_self;
};
