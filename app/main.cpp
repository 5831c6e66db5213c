// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "core/StudentLanguage.h"
#include "ui/Form1.h"
#include "ui/SystemServices.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {

// --help and --version need no window: they run before QApplication, which would need a
// display, so that a technician can ask an installed client over ssh.
int answerInfoRequest(int argc, char *argv[], commandline::Request request)
{
    QCoreApplication app(argc, argv);
    const QString text =
        request == commandline::Request::Help
            ? commandline::helpText(AppPaths::locate(QCoreApplication::applicationDirPath()))
            : commandline::versionText();
    std::fputs(text.toLocal8Bit().constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto request = commandline::request(arguments); request != commandline::Request::Run)
        return answerInfoRequest(argc, argv, request);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chengling-client"));
    const QLocale language = studentlanguage::choose(QLocale::system());
    if (!studentlanguage::use(app, language)) {
        std::fprintf(stderr,
                     "chengling-client: Qt's translations for %s were not found (package "
                     "qt6-translations-l10n); standard buttons stay English.\n",
                     qPrintable(language.name()));
    }
    QGuiApplication::setDesktopFileName(QStringLiteral(CLIENT_APP_ID));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(CLIENT_APP_ID),
                         QIcon(QStringLiteral(":/assets/icons/chengling-client.svg"))));

    SystemServices system;
    Form1 window(system.services(), system.modal());
    window.show();
    return app.exec();
}
