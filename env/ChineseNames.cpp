// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/ChineseNames.h"

#include "env/MessageCatalog.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <memory>

namespace chinesenames {

namespace {

const QString kChinese = QStringLiteral("zh_CN");

// A configuration file of fcitx 4 is small; a larger one is not its.
constexpr qint64 kMaxConfSize = 256 * 1024;

} // namespace

QStringList dataFolders(const QProcessEnvironment &environment, const QStringList &extra)
{
    QStringList folders;
    QString home = environment.value(QStringLiteral("XDG_DATA_HOME"));
    if (home.isEmpty() && !environment.value(QStringLiteral("HOME")).isEmpty())
        home = environment.value(QStringLiteral("HOME")) + QStringLiteral("/.local/share");
    if (!home.isEmpty())
        folders << home;
    QString system = environment.value(QStringLiteral("XDG_DATA_DIRS"));
    if (system.isEmpty())
        system = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString &folder : system.split(u':', Qt::SkipEmptyParts)) {
        if (!folders.contains(folder))
            folders << folder;
    }
    for (const QString &folder : extra) {
        if (!folder.isEmpty() && !folders.contains(folder))
            folders << folder;
    }
    return folders;
}

std::optional<QString> ibusTable(const QString &engine, const QStringList &folders)
{
    if (!engine.startsWith(QLatin1String("table:")))
        return std::nullopt;
    const QString table = engine.mid(6);
    // The engine's name is the table file's; anything that would leave the folder is not.
    if (table.isEmpty() || table.contains(u'/') || table.startsWith(u'.'))
        return std::nullopt;
    for (const QString &folder : folders) {
        const QString path =
            folder + QStringLiteral("/ibus-table/tables/") + table + QStringLiteral(".db");
        if (!QFile::exists(path))
            continue;
        sqlite3 *raw = nullptr;
        const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                           SQLITE_OPEN_READONLY, nullptr);
        std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
        if (opened != SQLITE_OK)
            continue;
        sqlite3_stmt *rawStatement = nullptr;
        if (sqlite3_prepare_v2(db.get(), "SELECT val FROM ime WHERE attr = 'name.zh_cn'", -1,
                               &rawStatement, nullptr) != SQLITE_OK)
            continue;
        std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(rawStatement,
                                                                             &sqlite3_finalize);
        if (sqlite3_step(statement.get()) == SQLITE_ROW) {
            const auto *text =
                reinterpret_cast<const char *>(sqlite3_column_text(statement.get(), 0));
            const QString name = QString::fromUtf8(text).trimmed();
            if (!name.isEmpty())
                return name;
        }
        // The first table of that name is the one IBus uses.
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<QString> translated(const QString &name, const QString &domain,
                                  const QStringList &folders)
{
    if (name.isEmpty() || domain.isEmpty() || domain.contains(u'/'))
        return std::nullopt;
    for (const QString &folder : folders) {
        const QString path = folder + QStringLiteral("/locale/") + kChinese +
                             QStringLiteral("/LC_MESSAGES/") + domain + QStringLiteral(".mo");
        if (!QFile::exists(path))
            continue;
        if (std::optional<QString> found = MessageCatalog::load(path).translate(name))
            return found;
    }
    return std::nullopt;
}

std::optional<QString> fcitx4Table(const QString &uniqueName, const QStringList &folders)
{
    if (uniqueName.isEmpty())
        return std::nullopt;
    for (const QString &folder : folders) {
        const QDir tables(folder + QStringLiteral("/fcitx/table"));
        for (const QString &file : tables.entryList({QStringLiteral("*.conf")}, QDir::Files)) {
            QFile conf(tables.filePath(file));
            if (conf.size() > kMaxConfSize || !conf.open(QIODevice::ReadOnly))
                continue;
            QString unique;
            QString chinese;
            for (const QByteArray &raw : conf.readAll().split('\n')) {
                const QString line = QString::fromUtf8(raw).trimmed();
                if (line.startsWith(QLatin1String("UniqueName=")))
                    unique = line.mid(11).trimmed();
                else if (line.startsWith(QLatin1String("Name[zh_CN]=")))
                    chinese = line.mid(12).trimmed();
            }
            if (unique == uniqueName)
                return chinese.isEmpty() ? std::nullopt : std::optional<QString>(chinese);
        }
    }
    return std::nullopt;
}

} // namespace chinesenames
