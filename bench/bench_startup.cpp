// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up of the main window with the shipped code tables: time until the window is shown and
// idle, and resident memory afterwards.
#include "bench/BenchRegistry.h"
#include "bench/BenchStats.h"

#include "ui/Form1.h"
#include "ui/SystemServices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void startUp()
{
    QTextStream out(stdout);
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!QFile::exists(appDir + QStringLiteral("/wb.dat")))
        out << "note: no wb.dat beside client-bench; the tables are empty" << Qt::endl;

    SystemServices system;
    const Services &services = system.services();

    const long before = residentKiB();
    std::vector<double> times;
    long after = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        auto window = std::make_unique<Form1>(services, system.modal());
        window->show();
        QCoreApplication::processEvents();
        window->grab(); // the first paint
        times.push_back(timer.nsecsElapsed() / 1e6);
        after = std::max(after, residentKiB());
    }
    // The first start pays for loading fonts and plugins, as a student's start does.
    out << "first start-up until shown and painted: " << QString::number(times.front(), 'f', 1)
        << " ms" << Qt::endl;
    times.erase(times.begin());
    out << bench::summary("later start-ups in the same process", times) << Qt::endl;
    out << "resident memory: " << before / 1024 << " MiB before, " << after / 1024
        << " MiB after start-up (process total, all tables and glyphs loaded)" << Qt::endl;
}

} // namespace

CLIENT_BENCH(startup, startUp)
