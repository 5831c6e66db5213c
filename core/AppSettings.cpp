// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/AppSettings.h"

#include "core/IniStore.h"
#include "core/Numeric.h"

AppSettings::AppSettings(const AppPaths &paths)
    : m_paths(paths)
{}

std::optional<int> AppSettings::port(const QString &text)
{
    return numeric::toIntInRange(text, kMinPort, kMaxPort);
}

QString AppSettings::read(const Key &key) const
{
    const QString section = QString::fromUtf16(key.section);
    const QString name = QString::fromUtf16(key.name);
    for (const QString &file : m_paths.settingsFilesToRead()) {
        if (const QString value = ReadIni(section, name, file); !value.isEmpty())
            return value;
    }
    return {};
}

AppSettings::Server AppSettings::readServer() const
{
    Server server;
    server.ip = read(kIp);
    server.port = port(read(kPort)).value_or(kDefaultPort);
    return server;
}

AppSettings::Identity AppSettings::readIdentity() const
{
    return {read(kName), read(kXuehao), read(kBanji)};
}

void AppSettings::write(const Key &key, const QString &value, QStringList &errors) const
{
    const Status status = WriteIni(QString::fromUtf16(key.section), QString::fromUtf16(key.name),
                                   value, m_paths.settingsFile());
    if (!status.ok() && !errors.contains(status.error))
        errors << status.error;
}

QStringList AppSettings::writeServer(const QString &ip, const QString &portText) const
{
    QStringList errors;
    write(kIp, ip, errors);
    write(kPort, portText, errors);
    return errors;
}

QStringList AppSettings::writeIdentity(const Identity &identity) const
{
    QStringList errors;
    write(kName, identity.name, errors);
    write(kXuehao, identity.xuehao, errors);
    write(kBanji, identity.banji, errors);
    return errors;
}
