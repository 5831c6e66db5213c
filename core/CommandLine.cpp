// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/CommandLine.h"

#include "core/AppPaths.h"
#include "core/Version.h"

#include <QDir>

namespace commandline {

Request request(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--")
            break;
        if (argument == u"-h" || argument == u"--help" || argument == u"-?")
            return Request::Help;
        if (argument == u"-v" || argument == u"--version")
            return Request::Version;
    }
    return Request::Run;
}

QString versionText()
{
    return QStringLiteral("chengling-client %1.%2.%3\n")
        .arg(version::kMajor)
        .arg(version::kMinor)
        .arg(version::kPatch);
}

QString helpText(const AppPaths &paths)
{
    const QString settings = QDir::toNativeSeparators(paths.settingsFile());
    QString text = QStringLiteral(
        "Usage: chengling-client [options]\n"
        "Student client of the Chengling classroom text-entry test system\n"
        "(澄岭文字录入测试系统客户端). It connects to the teacher's test server, shows the test\n"
        "text and reports the student's typing.\n"
        "\n"
        "Options:\n"
        "  -h, --help     Show this help and exit.\n"
        "  -v, --version  Show the version and exit.\n"
        "\n"
        "Files used by this copy of the client:\n");
    text += QStringLiteral("  settings    %1\n").arg(settings);
    if (const QString beside = paths.besideFile(); !beside.isEmpty()) {
        text += QStringLiteral("  also read   %1\n"
                               "              (for what the settings above leave empty)\n")
                    .arg(QDir::toNativeSeparators(beside));
    } else if (paths.place() == AppPaths::Place::UserFolder) {
        text += QStringLiteral("  preset      %1\n"
                               "              (copied into a user's settings at the first start)\n")
                    .arg(QDir::toNativeSeparators(paths.presetFile()));
    }
    for (const QString &name :
         {QStringLiteral("wb.dat"), QStringLiteral("wbcz.dat"), QStringLiteral("86zg.dat")})
        text += QStringLiteral("  %1%2\n")
                    .arg(name, -12)
                    .arg(QDir::toNativeSeparators(paths.dataFile(name)));
    return text;
}

} // namespace commandline
