// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/SessionWindowTitles.h"

#include "env/WaylandToplevels.h"

#include <QDebug>
#include <QGuiApplication>
#include <QWindow>

SessionWindowTitles::SessionWindowTitles(QProcessEnvironment environment, QString procRoot)
    : m_environment(std::move(environment))
    , m_x11(m_environment.value(QStringLiteral("DISPLAY")).toLocal8Bit())
    , m_programs(m_environment, std::move(procRoot))
{}

QStringList SessionWindowTitles::titles()
{
    m_sources = {};
    WindowList all;
    const bool x11 = !m_environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const QString wayland = m_environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    // Without either the X11 backend says once that it sees nothing.
    if (x11 || wayland.isEmpty()) {
        const WindowList windows = m_x11.windows();
        m_sources.x11 = int(windows.titles.size());
        all.append(windows);
    }
    if (!wayland.isEmpty()) {
        const WaylandToplevels::Result listed =
            WaylandToplevels::collect(wayland.toLocal8Bit(), kWaylandTimeoutMs);
        if (!listed.error.isEmpty() && !m_toldWayland) {
            // GNOME, for one, offers no window list: its native windows are found only as
            // programs of the session.
            m_toldWayland = true;
            qWarning().noquote() << QStringLiteral("Wayland: %1; the forbidden program check "
                                                   "finds native windows only as programs.")
                                        .arg(listed.error);
        }
        m_sources.wayland = int(listed.windows.titles.size());
        m_sources.waylandProtocol = listed.protocol;
        all.append(listed.windows);
    }
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        WindowList own;
        for (const QWindow *window : QGuiApplication::topLevelWindows())
            own.titles << window->title();
        m_sources.own = int(own.titles.size());
        all.append(own);
    }
    const QStringList programs = m_programs.names(all);
    m_sources.programs = int(programs.size());
    return all.titles + programs;
}
