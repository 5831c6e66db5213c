// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/BenchRegistry.h"

#include <QApplication>
#include <QTextStream>

namespace benchregistry {
std::vector<std::pair<const char *, Run>> &all()
{
    static std::vector<std::pair<const char *, Run>> runs;
    return runs;
}
} // namespace benchregistry

// Runs every registered benchmark, or those whose names are given as arguments.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList wanted = QCoreApplication::arguments().mid(1);
    QTextStream out(stdout);
    for (const auto &[name, run] : benchregistry::all()) {
        if (!wanted.isEmpty() && !wanted.contains(QLatin1String(name)))
            continue;
        out << "== " << name << Qt::endl;
        run();
    }
    return 0;
}
