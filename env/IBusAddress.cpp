// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/IBusAddress.h"

#include <QDir>
#include <QFile>

QString IBusAddress::filePath(const QProcessEnvironment &environment, const QString &machineId)
{
    QString host;
    QString display;
    // A Wayland session names the file after the Wayland display, like the daemon does.
    const QString wayland = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (!wayland.isEmpty()) {
        display = wayland;
    } else {
        // DISPLAY is [host]:number[.screen]
        const QString x11 = environment.value(QStringLiteral("DISPLAY"));
        const qsizetype colon = x11.lastIndexOf(u':');
        if (colon < 0)
            return {};
        host = x11.left(colon);
        display = x11.mid(colon + 1);
        const qsizetype dot = display.indexOf(u'.');
        if (dot >= 0)
            display.truncate(dot);
    }
    if (display.isEmpty() || machineId.isEmpty())
        return {};
    if (host.isEmpty())
        host = QStringLiteral("unix");

    QString config = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (config.isEmpty()) {
        const QString home = environment.value(QStringLiteral("HOME"));
        if (home.isEmpty())
            return {};
        config = home + QStringLiteral("/.config");
    }
    return QDir(config).filePath(QStringLiteral("ibus/bus/%1-%2-%3").arg(machineId, host, display));
}

std::optional<QString> IBusAddress::parseFile(const QByteArray &content)
{
    for (const QByteArray &raw : content.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("IBUS_ADDRESS=")) {
            const QString address = QString::fromUtf8(line.mid(13)).trimmed();
            if (!address.isEmpty())
                return address;
        }
    }
    return std::nullopt;
}

std::optional<QString> IBusAddress::find(const QProcessEnvironment &environment,
                                         const QString &machineId)
{
    const QString fromEnvironment = environment.value(QStringLiteral("IBUS_ADDRESS"));
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString path = filePath(environment, machineId);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    // The file is a few lines; a larger one is not the daemon's.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096)
        return std::nullopt;
    return parseFile(file.readAll());
}
