// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/SessionPrograms.h"

#include "env/ChineseNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The parts of a process that are read are small; a larger one is read up to this.
constexpr qint64 kMaxRead = 64 * 1024;

// Read with the system's calls: a collection reads three small files of every process, and
// QFile's own work would be most of the time spent.
QByteArray readSmall(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray content;
    char buffer[16384];
    while (content.size() < kMaxRead) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        content.append(buffer, got);
    }
    ::close(fd);
    return content;
}

QString unescapeUnit(QString text)
{
    // systemd writes a "-" inside a name as \x2d, and other bytes the same way.
    QByteArray bytes;
    const QByteArray raw = text.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw.at(i) == '\\' && i + 3 < raw.size() && raw.at(i + 1) == 'x') {
            bool ok = false;
            const int value = raw.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                bytes += char(value);
                i += 3;
                continue;
            }
        }
        bytes += raw.at(i);
    }
    return QString::fromUtf8(bytes);
}

} // namespace

SessionPrograms::SessionPrograms(const QProcessEnvironment &environment, QString procRoot)
    : m_procRoot(std::move(procRoot))
    , m_entries(chinesenames::dataFolders(environment))
    , m_languages(languagesOf(environment))
    , m_uid(::getuid())
    , m_self(::getpid())
{}

QStringList SessionPrograms::languagesOf(const QProcessEnvironment &environment)
{
    QString locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment.value(QLatin1String(name));
        if (!locale.isEmpty())
            break;
    }
    QStringList languages;
    const QString language = locale.section(u'.', 0, 0).section(u'@', 0, 0);
    if (!language.isEmpty() && language != QLatin1String("C") && language != QLatin1String("POSIX"))
        languages << language;
    else
        languages << QString(); // the untranslated names
    if (!languages.contains(QStringLiteral("zh_CN")))
        languages << QStringLiteral("zh_CN");
    return languages;
}

QString SessionPrograms::desktopIdOfUnit(const QString &unit)
{
    // app[-<launcher>]-<id>-<random>.scope or app[-<launcher>]-<id>[@<random>].service
    if (!unit.startsWith(QLatin1String("app-")))
        return {};
    QString body;
    if (unit.endsWith(QLatin1String(".scope"))) {
        body = unit.mid(4, unit.size() - 4 - 6);
        const qsizetype dash = body.lastIndexOf(u'-');
        if (dash <= 0)
            return {};
        body.truncate(dash);
    } else if (unit.endsWith(QLatin1String(".service"))) {
        body = unit.mid(4, unit.size() - 4 - 8);
        if (const qsizetype at = body.indexOf(u'@'); at >= 0)
            body.truncate(at);
    } else {
        return {};
    }
    return unescapeUnit(body);
}

const SessionPrograms::Process *SessionPrograms::process(qint64 pid)
{
    const QByteArray folder = QFile::encodeName(m_procRoot) + '/' + QByteArray::number(pid);
    struct stat info = {};
    if (::stat(folder.constData(), &info) != 0)
        return nullptr;
    const qint64 started = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    // A program that replaced itself (exec) is read again.
    char target[4096];
    const ssize_t length = ::readlink((folder + "/exe").constData(), target, sizeof target);
    const QByteArray executable = length > 0 ? QByteArray(target, int(length)) : QByteArray();
    auto cached = m_cache.find(pid);
    if (cached == m_cache.end() || cached->started != started || cached->executable != executable) {
        Cached fresh;
        fresh.started = started;
        fresh.executable = executable;
        fresh.ours = info.st_uid == m_uid && readProcess(folder, pid, &fresh.process);
        cached = m_cache.insert(pid, fresh);
    }
    return cached->ours ? &cached->process : nullptr;
}

bool SessionPrograms::readProcess(const QByteArray &folder, qint64 pid, Process *process) const
{
    process->pid = pid;
    const QByteArray cmdline = readSmall(folder + "/cmdline");
    for (const QByteArray &argument : cmdline.split('\0')) {
        if (!argument.isEmpty())
            process->arguments << QString::fromLocal8Bit(argument);
    }
    char target[4096];
    const ssize_t length = ::readlink((folder + "/exe").constData(), target, sizeof target);
    QString executable =
        length > 0 ? QFile::decodeName(QByteArray(target, int(length))) : QString();
    if (executable.endsWith(QLatin1String(" (deleted)")))
        executable.chop(10);
    // A kernel thread has neither a program nor arguments.
    if (executable.isEmpty() && process->arguments.isEmpty())
        return false;
    process->executable = executable.isEmpty()
                              ? QFileInfo(process->arguments.constFirst()).fileName()
                              : QFileInfo(executable).fileName();
    for (const QByteArray &variable : readSmall(folder + "/environ").split('\0')) {
        if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE=")) {
            process->launchedFrom = QString::fromLocal8Bit(variable.mid(26));
            break;
        }
    }
    // "0::/user.slice/user-1000.slice/user@1000.service/app.slice/app-...-1234.scope"
    const QByteArray groups = readSmall(folder + "/cgroup");
    for (const QByteArray &line : groups.split('\n')) {
        if (line.startsWith("0::")) {
            process->unit = QString::fromUtf8(line.mid(line.lastIndexOf('/') + 1)).trimmed();
            break;
        }
    }
    return true;
}

std::optional<DesktopEntries::Entry> SessionPrograms::entryOf(const Process &process)
{
    if (!process.launchedFrom.isEmpty()) {
        if (std::optional<DesktopEntries::Entry> entry = m_entries.fromFile(process.launchedFrom))
            return entry;
    }
    if (const QString id = desktopIdOfUnit(process.unit); !id.isEmpty()) {
        if (const DesktopEntries::Entry *entry = m_entries.byId(id))
            return *entry;
        // The part before the id may name the launcher ("app-gnome-<id>-1234.scope").
        if (const qsizetype dash = id.indexOf(u'-'); dash > 0) {
            if (const DesktopEntries::Entry *entry = m_entries.byId(id.mid(dash + 1)))
                return *entry;
        }
    }
    // A script's executable is its interpreter: its first arguments name it better.
    QStringList programs{process.executable};
    for (const QString &argument : process.arguments.mid(0, 2)) {
        if (!argument.startsWith(u'-'))
            programs << QFileInfo(argument).fileName();
    }
    for (const QString &program : std::as_const(programs)) {
        if (program.isEmpty())
            continue;
        if (const DesktopEntries::Entry *entry = m_entries.byProgram(program))
            return *entry;
    }
    return std::nullopt;
}

QStringList SessionPrograms::names(const WindowList &windows)
{
    m_entries.refresh();
    QStringList result;
    QSet<QString> listed;
    const QStringList pids = QDir(m_procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QSet<qint64> alive;
    for (const QString &name : pids) {
        bool numeric = false;
        const qint64 pid = name.toLongLong(&numeric);
        if (!numeric || pid == m_self)
            continue;
        alive.insert(pid);
        if (windows.pids.contains(pid))
            continue;
        const Process *found = process(pid);
        if (!found)
            continue;
        const Process &process = *found;
        const std::optional<DesktopEntries::Entry> entry = entryOf(process);
        if (entry) {
            QString appId = entry->id;
            appId.chop(8); // ".desktop"
            if (windows.appIds.contains(appId))
                continue;
        }
        if (windows.appIds.contains(process.executable))
            continue;
        QStringList known = entry ? DesktopEntries::namesIn(*entry, m_languages) : QStringList();
        known << process.executable;
        for (const QString &each : std::as_const(known)) {
            if (!each.isEmpty() && !listed.contains(each)) {
                listed.insert(each);
                result << each;
            }
        }
    }
    // Processes that ended are forgotten.
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        if (alive.contains(it.key()))
            ++it;
        else
            it = m_cache.erase(it);
    }
    return result;
}
