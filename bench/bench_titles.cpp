// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One collection of the forbidden program check's title list in a session with 500 more
// processes of the student (each an idle program without a window): the X server's windows,
// the compositor's list where the session is Wayland, the client's own windows and the
// session's programs from /proc with their desktop entries. The baseline, measured in the same
// run, is the X server's window list alone, which is all the check read before.
#include "bench/BenchRegistry.h"
#include "bench/BenchStats.h"

#include "env/SessionPrograms.h"
#include "env/SessionWindowTitles.h"
#include "env/X11WindowTitles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

extern char **environ;

namespace {

constexpr int kProcesses = 500;
constexpr int kRuns = 50;

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

std::vector<double> measure(int runs, const std::function<void()> &run)
{
    std::vector<double> ms;
    run(); // the first run reads the desktop entries
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return ms;
}

int processesOfThisUser()
{
    int count = 0;
    for (const QString &name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        name.toInt(&numeric);
        if (numeric && QFileInfo(QStringLiteral("/proc/") + name).ownerId() == ::getuid())
            ++count;
    }
    return count;
}

void runTitles()
{
    std::vector<pid_t> children;
    char sleepPath[] = "/bin/sleep";
    char seconds[] = "600";
    char *arguments[] = {sleepPath, seconds, nullptr};
    for (int i = 0; i < kProcesses; ++i) {
        pid_t pid = 0;
        if (posix_spawn(&pid, sleepPath, nullptr, nullptr, arguments, environ) == 0)
            children.push_back(pid);
    }
    out() << "processes of this user: " << processesOfThisUser() << " (" << children.size()
          << " idle programs started for the run)" << Qt::endl;

    // A collection the first time in a client's life (the desktop entries read too), and again.
    out() << bench::summary(QStringLiteral("first title list collection of a client"),
                            measure(10, [] { SessionWindowTitles().titles(); }))
          << Qt::endl;
    SessionWindowTitles session;
    int titles = 0;
    const std::vector<double> whole =
        measure(kRuns, [&] { titles = int(session.titles().size()); });
    const SessionWindowTitles::Sources &found = session.lastSources();
    out() << "title list: " << titles << " entries (X11 " << found.x11 << ", Wayland "
          << found.wayland
          << (found.waylandProtocol.isEmpty() ? QString() : u' ' + found.waylandProtocol)
          << ", own " << found.own << ", programs " << found.programs << ")" << Qt::endl;
    out() << bench::summary(QStringLiteral("one title list collection, every source"), whole)
          << Qt::endl;

    SessionPrograms programs(QProcessEnvironment::systemEnvironment());
    out() << bench::summary(QStringLiteral("  of it: the session's programs from /proc"),
                            measure(kRuns, [&] { programs.names({}); }))
          << Qt::endl;
    X11WindowTitles x11;
    out() << bench::summary(QStringLiteral("baseline: the X server's windows alone"),
                            measure(kRuns, [&] { x11.titles(); }))
          << Qt::endl;

    for (const pid_t pid : children)
        ::kill(pid, SIGTERM);
    for (const pid_t pid : children)
        ::waitpid(pid, nullptr, 0);
}

} // namespace

CLIENT_BENCH(titles, runTitles)
