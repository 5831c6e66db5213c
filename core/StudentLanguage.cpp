// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/StudentLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace studentlanguage {

QLocale choose(const QLocale &system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    return system;
}

QTranslator *use(QCoreApplication &app, const QLocale &locale, const QString &folder)
{
    QLocale::setDefault(locale);
    const QString dir =
        folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    // "qt" is the meta catalogue that pulls in qtbase and the other modules' catalogues;
    // qtbase alone serves where only it is installed.
    for (const QString &name : {QStringLiteral("qt"), QStringLiteral("qtbase")}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(locale, name, QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(translator);
            return translator;
        }
        delete translator;
    }
    return nullptr;
}

} // namespace studentlanguage
