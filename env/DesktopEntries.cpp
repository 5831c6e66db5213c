// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/DesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A desktop entry is a few kilobytes; a larger file is not read.
constexpr qint64 kMaxEntrySize = 256 * 1024;

// The program of an Exec line: its first word, unquoted, without environment settings
// ("env A=b prog") and without its folder.
QString programOf(const QString &exec)
{
    QStringList words;
    QString word;
    bool quoted = false;
    for (const QChar c : exec) {
        if (c == u'"') {
            quoted = !quoted;
        } else if (c.isSpace() && !quoted) {
            if (!word.isEmpty())
                words << std::exchange(word, QString());
        } else {
            word += c;
        }
    }
    if (!word.isEmpty())
        words << word;
    qsizetype first = 0;
    if (first < words.size() && QFileInfo(words.at(first)).fileName() == QLatin1String("env")) {
        ++first;
        while (first < words.size() && words.at(first).contains(u'='))
            ++first;
    }
    if (first >= words.size())
        return {};
    const QString program = QFileInfo(words.at(first)).fileName();
    // For a script the interpreter is no name of the program: the script is.
    static const QRegularExpression interpreter(
        QStringLiteral("^(python[0-9.]*|perl|ruby|sh|bash|dash|node|nodejs|gjs|mono|java|wine)$"));
    if (interpreter.match(program).hasMatch()) {
        for (qsizetype next = first + 1; next < words.size(); ++next) {
            if (!words.at(next).startsWith(u'-') && !words.at(next).startsWith(u'%'))
                return QFileInfo(words.at(next)).fileName();
        }
    }
    return program;
}

} // namespace

DesktopEntries::DesktopEntries(QStringList dataFolders)
    : m_folders(std::move(dataFolders))
{}

std::optional<DesktopEntries::Entry> DesktopEntries::parse(const QByteArray &content)
{
    Entry entry;
    bool inMain = false;
    bool seen = false;
    for (const QByteArray &raw : content.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMain = line == QLatin1String("[Desktop Entry]");
            seen = seen || inMain;
            continue;
        }
        if (!inMain)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        QString base = key;
        QString language;
        if (const qsizetype bracket = key.indexOf(u'['); bracket > 0 && key.endsWith(u']')) {
            base = key.left(bracket);
            language = key.mid(bracket + 1, key.size() - bracket - 2);
            // A locale's encoding and modifier do not change which name it is.
            language = language.section(u'.', 0, 0).section(u'@', 0, 0);
        }
        if (base == QLatin1String("Name"))
            entry.names.insert(language, value);
        else if (base == QLatin1String("GenericName"))
            entry.genericNames.insert(language, value);
        else if (key == QLatin1String("Exec"))
            entry.program = programOf(value);
    }
    if (!seen)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntries::Entry> DesktopEntries::fromFile(const QString &path) const
{
    QFile file(path);
    if (!path.endsWith(QLatin1String(".desktop")) || file.size() > kMaxEntrySize ||
        !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<Entry> entry = parse(file.readAll());
    if (entry) {
        entry->path = path;
        entry->id = QFileInfo(path).fileName();
    }
    return entry;
}

void DesktopEntries::refresh()
{
    // A folder's time changes when an entry is added, removed or renamed in it.
    QHash<QString, QDateTime> stamps;
    for (const QString &folder : std::as_const(m_folders)) {
        const QString applications = folder + QStringLiteral("/applications");
        QDirIterator folders(applications, QDir::Dirs | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        stamps.insert(applications, QFileInfo(applications).lastModified());
        while (folders.hasNext()) {
            const QString sub = folders.next();
            stamps.insert(sub, QFileInfo(sub).lastModified());
        }
    }
    if (m_read && stamps == m_stamps)
        return;
    m_read = true;
    m_stamps = stamps;
    m_entries.clear();
    m_byId.clear();
    m_byProgram.clear();
    for (const QString &folder : std::as_const(m_folders)) {
        const QDir applications(folder + QStringLiteral("/applications"));
        QDirIterator files(applications.path(), {QStringLiteral("*.desktop")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            // The id of applications/kde/x.desktop is kde-x.desktop.
            const QString id = applications.relativeFilePath(path).replace(u'/', u'-');
            if (m_byId.contains(id))
                continue; // an earlier folder's entry of that id wins
            std::optional<Entry> entry = fromFile(path);
            if (!entry)
                continue;
            entry->id = id;
            m_byId.insert(id, m_entries.size());
            if (!entry->program.isEmpty() && !m_byProgram.contains(entry->program))
                m_byProgram.insert(entry->program, m_entries.size());
            m_entries.append(std::move(*entry));
        }
    }
}

const DesktopEntries::Entry *DesktopEntries::byId(const QString &id)
{
    if (!m_read)
        refresh();
    const QString full =
        id.endsWith(QLatin1String(".desktop")) ? id : id + QStringLiteral(".desktop");
    const auto found = m_byId.constFind(full);
    return found == m_byId.constEnd() ? nullptr : &m_entries.at(found.value());
}

const DesktopEntries::Entry *DesktopEntries::byProgram(const QString &program)
{
    if (!m_read)
        refresh();
    const auto found = m_byProgram.constFind(program);
    return found == m_byProgram.constEnd() ? nullptr : &m_entries.at(found.value());
}

QStringList DesktopEntries::namesIn(const Entry &entry, const QStringList &languages)
{
    QStringList result;
    for (const QHash<QString, QString> *names : {&entry.names, &entry.genericNames}) {
        for (const QString &language : languages) {
            QString name = names->value(language);
            if (name.isEmpty() && language.contains(u'_'))
                name = names->value(language.section(u'_', 0, 0));
            if (name.isEmpty())
                name = names->value(QString());
            if (!name.isEmpty() && !result.contains(name))
                result << name;
        }
    }
    return result;
}
