// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Platform.h"
#include "env/WindowList.h"

#include <QByteArray>

// The titles of the top-level windows of an X server, from the top of the stacking order:
// mapped or not, iconic or not, the client's own among them. Under a window manager the
// title is read from the student's window inside the manager's frame. A title is
// _NET_WM_NAME (UTF-8), else WM_NAME. Without an X server (a pure Wayland session) there are
// no titles to read; the client says so once on stderr.
class X11WindowTitles final : public WindowTitles
{
public:
    // display: an X display name such as ":1"; empty means the session's DISPLAY.
    explicit X11WindowTitles(QByteArray display = {});

    QStringList titles() override;
    // The titles with the processes that say they made them (_NET_WM_PID).
    WindowList windows();

private:
    QByteArray m_display;
    bool m_told = false;
};
