// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The desktop entries (.desktop files) of the session: what the desktop's menus call each
// program. Read from the applications folders of the data folders, the first entry of an id
// winning as the desktop's own rule says; read again when a folder changes.
class DesktopEntries
{
public:
    struct Entry
    {
        QString id; // "org.gnome.Calculator.desktop"
        QString path;
        QHash<QString, QString> names;        // "" for Name, "zh_CN" for Name[zh_CN], ...
        QHash<QString, QString> genericNames; // the same for GenericName
        QString program; // the file name of Exec's program ("gnome-calculator")
    };

    explicit DesktopEntries(QStringList dataFolders);

    // The entry with this id ("x.desktop"; also found without ".desktop").
    const Entry *byId(const QString &id);
    // The first entry whose Exec runs a program of this file name.
    const Entry *byProgram(const QString &program);
    // An entry read from a file of its own (a launcher names it in GIO_LAUNCHED_DESKTOP_FILE).
    std::optional<Entry> fromFile(const QString &path) const;

    // The names a person knows the program by: Name and GenericName in each language (for
    // "en_US": Name[en_US], else Name[en], else Name), without repeats.
    static QStringList namesIn(const Entry &entry, const QStringList &languages);

    // Parses the text of a desktop entry; nothing when it is not one.
    static std::optional<Entry> parse(const QByteArray &content);

    // Reads the entries again when a folder changed since the last read (the lookups read
    // them the first time).
    void refresh();

private:
    QStringList m_folders;
    QHash<QString, QDateTime> m_stamps; // each applications folder's last change
    QList<Entry> m_entries;
    QHash<QString, qsizetype> m_byId;
    QHash<QString, qsizetype> m_byProgram;
    bool m_read = false;
};
