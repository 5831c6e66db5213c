// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/AppPaths.h"

#include <QString>
#include <QStringList>

#include <optional>

// The settings file appset.ini as one schema: every section, key, default and limit written
// once, and read and written through this class only (start-up reads, the two settings dialogs
// write). The file stays the GBK INI text it always was (core/IniStore).
class AppSettings
{
public:
    // The server's TCP port: a whole number in this range, else the default.
    static constexpr int kDefaultPort = 10000;
    static constexpr int kMinPort = 1024;
    static constexpr int kMaxPort = 65000;
    // How long the dialogs let each value be.
    static constexpr int kIpLength = 15;
    static constexpr int kPortLength = 5;
    static constexpr int kNameLength = 10;
    static constexpr int kXuehaoLength = 25;
    static constexpr int kBanjiLength = 25;

    struct Server
    {
        QString ip;
        int port = kDefaultPort;
    };
    struct Identity
    {
        QString name;
        QString xuehao;
        QString banji;
    };

    explicit AppSettings(const AppPaths &paths);

    // Start-up: each key from the files to read, a key without a value in one taken from the
    // next (AppPaths::settingsFilesToRead); a port that is not a number in range gives the
    // default.
    Server readServer() const;
    Identity readIdentity() const;

    // The dialogs: the values stored in the settings file as given (the dialogs trim them), in
    // the order ip, port and name, xuehao, banji. Returns what could not be stored, each reason
    // once; empty when everything was stored.
    QStringList writeServer(const QString &ip, const QString &port) const;
    QStringList writeIdentity(const Identity &identity) const;

    // A port as written in the file or typed in the dialog: the number when it is in range.
    static std::optional<int> port(const QString &text);

private:
    struct Key
    {
        const char16_t *section;
        const char16_t *name;
    };
    static constexpr Key kIp{u"serverset", u"ip"};
    static constexpr Key kPort{u"serverset", u"port"};
    static constexpr Key kName{u"userinfo", u"name"};
    static constexpr Key kXuehao{u"userinfo", u"xuehao"};
    static constexpr Key kBanji{u"userinfo", u"banji"};

    QString read(const Key &key) const;
    void write(const Key &key, const QString &value, QStringList &errors) const;

    AppPaths m_paths;
};
