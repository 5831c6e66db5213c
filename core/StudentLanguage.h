// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;
class QTranslator;

// The language the client speaks in: the student's own, and Chinese where the computer names
// none. A computer-room account often runs under the C (or POSIX) locale, and the client is a
// Chinese program: its own texts are Chinese whatever the locale, so Qt's texts (the buttons
// of message boxes, the menus of text fields) and the dates it writes follow them.
namespace studentlanguage {

// The locale to use for a system locale: `system` itself, or Chinese (China) for C and POSIX.
QLocale choose(const QLocale &system);

// Makes `locale` the process's default (dates, numbers) and installs Qt's own translations for
// it from `folder` (Qt's translations folder when empty). Returns the installed translator,
// owned by `app`, or nullptr when no catalogue was found: Qt's texts then stay English.
QTranslator *use(QCoreApplication &app, const QLocale &locale, const QString &folder = {});

} // namespace studentlanguage
