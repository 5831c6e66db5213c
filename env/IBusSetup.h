// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QStringList>

#include <utility>

// The IBus engines the student has set up, as the desktop keeps them. The daemon only accepts
// the list, it never tells it, so it is read where the desktop's own panel reads it: GLib's
// settings store. IBus's panel keeps its "preload-engines"; GNOME keeps its input sources
// (org.gnome.desktop.input-sources, key "sources": ('xkb', 'us'), ('ibus',
// 'table:wubi-haifeng86'), ...) and leaves IBus's list empty.
struct IBusSetup
{
    QStringList preloadEngines;
    // GNOME's input sources in order: (type, id).
    QList<std::pair<QString, QString>> inputSources;

    // What the settings store holds; empty where a schema is not installed or a key was never
    // set.
    static IBusSetup read();
};
