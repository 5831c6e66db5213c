// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "env/WindowList.h"

#include <QByteArray>
#include <QString>

// The compositor's own list of toplevel windows, where it offers one to clients: wlroots
// compositors (sway, labwc, ...) through the foreign toplevel protocol, KDE Plasma through its
// window management protocol. GNOME offers none. A connection per collection, bounded in time:
// a compositor that does not answer gives what arrived until then.
class WaylandToplevels
{
public:
    struct Result
    {
        WindowList windows;
        QString protocol; // "wlr-foreign-toplevel", "plasma-window-management" or empty
        QString error;    // why nothing could be read (no compositor, no list offered)
    };

    // display: a Wayland display name or socket path (WAYLAND_DISPLAY); empty uses the
    // environment's.
    static Result collect(const QByteArray &display, int timeoutMs);
};
