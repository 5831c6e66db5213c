// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <optional>

// Where the IBus daemon of this desktop session listens. IBus runs its own bus: its address is
// in IBUS_ADDRESS, or else in a file the daemon writes under the user's configuration folder,
// named after the machine and the display.
class IBusAddress
{
public:
    // The address file's path for this environment (XDG_CONFIG_HOME or HOME/.config, then
    // ibus/bus/<machine id>-<host>-<display>). Empty when there is no display to name it by.
    static QString filePath(const QProcessEnvironment &environment, const QString &machineId);

    // The address written in such a file; empty when the file holds none.
    static std::optional<QString> parseFile(const QByteArray &content);

    // IBUS_ADDRESS, or the address in the file for this environment.
    static std::optional<QString> find(const QProcessEnvironment &environment,
                                       const QString &machineId);
};
