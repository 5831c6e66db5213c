// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Platform.h"
#include "env/SessionPrograms.h"
#include "env/X11WindowTitles.h"

#include <QProcessEnvironment>

// The window titles of the whole session, from every source it offers, in this order: the X
// server's windows (Xwayland's under Wayland), the compositor's own list of toplevels where it
// has one (wlroots compositors, KDE Plasma), the client's own windows (always, also when it
// runs natively on Wayland and no list shows them), then the names of the programs running in
// the session without a window in those lists. The check joins and matches them as before.
class SessionWindowTitles final : public WindowTitles
{
public:
    // How long the compositor may take to send its list.
    static constexpr int kWaylandTimeoutMs = 2000;

    explicit SessionWindowTitles(
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment(),
        QString procRoot = QStringLiteral("/proc"));

    QStringList titles() override;

    // What the last collection found from each source (tests, the README's table).
    struct Sources
    {
        int x11 = 0;
        int wayland = 0;
        QString waylandProtocol;
        int own = 0;
        int programs = 0;
    };
    const Sources &lastSources() const { return m_sources; }

private:
    QProcessEnvironment m_environment;
    X11WindowTitles m_x11;
    SessionPrograms m_programs;
    Sources m_sources;
    bool m_toldWayland = false;
};
