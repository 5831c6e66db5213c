// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

// The Chinese (zh_CN) name of an input method, read from the files its framework installs, so
// that the list shows the same name whatever language the desktop runs in and a server rule
// such as 五笔 finds Wubi on an English desktop too. Each lookup gives nothing when the files
// hold no Chinese name; the caller then keeps the framework's own name.
namespace chinesenames {

// Where data files are looked for: XDG_DATA_HOME (or ~/.local/share), then XDG_DATA_DIRS (or
// /usr/local/share:/usr/share), then extra folders (a framework's own prefix).
QStringList dataFolders(const QProcessEnvironment &environment, const QStringList &extra = {});

// An ibus-table engine ("table:wubi-haifeng86"): the name.zh_cn its table file carries.
std::optional<QString> ibusTable(const QString &engine, const QStringList &folders);

// A name translated through the zh_CN catalogue of the text domain (locale/zh_CN/LC_MESSAGES).
std::optional<QString> translated(const QString &name, const QString &domain,
                                  const QStringList &folders);

// A fcitx 4 table input method by its unique name ("wubi"): Name[zh_CN] of its table's
// configuration (fcitx/table/*.conf in the data folders or the configuration folder).
std::optional<QString> fcitx4Table(const QString &uniqueName, const QStringList &folders);

} // namespace chinesenames
