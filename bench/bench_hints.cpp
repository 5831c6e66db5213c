// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bench/BenchRegistry.h"
#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Gbk.h"
#include "hints/CodeTables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTextStream>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

struct Figures
{
    double median;
    double p99;
};

// Runs `work` `runs` times and returns median and p99 in microseconds.
Figures measure(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    times.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    std::sort(times.begin(), times.end());
    const size_t p99 = std::min(times.size() - 1, size_t(times.size() * 0.99));
    return {times[times.size() / 2], times[p99]};
}

void print(const QString &name, const Figures &figures)
{
    QTextStream(stdout) << QStringLiteral("  %1  median %2 us  p99 %3 us")
                               .arg(name, -52)
                               .arg(figures.median, 10, 'f', 1)
                               .arg(figures.p99, 10, 'f', 1)
                        << Qt::endl;
}

void writeGbk(const QString &path, const QString &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(gbk::encode(text).bytes);
}

// Tables of full size: 7000 characters with two codes for every seventh, 50000 words.
void writeSyntheticTables(const QString &dir)
{
    QString characters;
    for (int i = 0; i < 7000; ++i) {
        const QChar c(0x4E00 + i);
        characters += QStringLiteral("%1,abcd,001075150,pin%2\r\n").arg(c).arg(i);
        if (i % 7 == 0)
            characters += QStringLiteral("%1,ab,001,pin\r\n").arg(c);
    }
    writeGbk(dir + QStringLiteral("/wb.dat"), characters);
    QString words;
    for (int i = 0; i < 50000; ++i)
        words += QStringLiteral("wqiy,%1%2\r\n")
                     .arg(QChar(0x4E00 + i % 7000))
                     .arg(QChar(0x4E00 + i / 7));
    writeGbk(dir + QStringLiteral("/wbcz.dat"), words);
}

void benchTables(const QString &label, const QString &dir)
{
    Services services;
    services.paths = AppPaths::inFolder(dir);
    ClientLogic logic(services);
    CodeTables &tables = *logic.client().tables;

    QTextStream(stdout) << label << Qt::endl;
    print(QStringLiteral("ReadBM"), measure(7, [&] { tables.ReadBM(); }));
    QTextStream(stdout)
        << QStringLiteral("    rows %1, words %2").arg(tables.wbCount()).arg(tables.czWord().size())
        << Qt::endl;
    // Baselines: the same files read and decoded without splitting, and the yields alone.
    print(QStringLiteral("baseline: read and decode both files"), measure(7, [&] {
              for (const char *name : {"/wb.dat", "/wbcz.dat"}) {
                  QFile file(dir + QLatin1String(name));
                  if (file.open(QIODevice::ReadOnly))
                      (void)gbk::decode(file.readAll());
              }
          }));
    const int lines = tables.wbCount() + int(tables.czWord().size());
    print(QStringLiteral("baseline: %1 idle event yields").arg(lines), measure(7, [&] {
              for (int i = 0; i < lines; ++i)
                  QCoreApplication::processEvents();
          }));

    // Lookups of characters and words spread over the tables, and of missing ones.
    if (tables.wbCount() == 0 || tables.czWord().isEmpty())
        return;
    QStringList characters;
    for (int r = 0; r < tables.wbCount(); r += tables.wbCount() / 50 + 1)
        characters << tables.wbTable()[r][0];
    QStringList words;
    for (qsizetype i = 0; i < tables.czWord().size(); i += tables.czWord().size() / 50 + 1)
        words << tables.czWord()[i];
    int next = 0;
    print(QStringLiteral("FindWord (scans all rows)"),
          measure(500, [&] { (void)tables.FindWord(characters[next++ % characters.size()]); }));
    next = 0;
    print(QStringLiteral("FindCz (found, spread over the list)"),
          measure(500, [&] { (void)tables.FindCz(words[next++ % words.size()]); }));
    print(QStringLiteral("FindCz (missing word)"),
          measure(200, [&] { (void)tables.FindCz(QStringLiteral("不在表中")); }));

    QHash<QString, int> index;
    for (qsizetype i = 0; i < tables.czWord().size(); ++i)
        index.insert(tables.czWord()[i], int(i));
    next = 0;
    print(QStringLiteral("baseline: hashed word lookup"),
          measure(500, [&] { (void)index.value(words[next++ % words.size()]); }));
}

void runHints()
{
    const QString shipped = QCoreApplication::applicationDirPath();
    if (QFile::exists(shipped + QStringLiteral("/wb.dat")))
        benchTables(QStringLiteral("shipped tables (%1)").arg(shipped), shipped);
    QTemporaryDir dir;
    writeSyntheticTables(dir.path());
    benchTables(QStringLiteral("synthetic tables: 8000 character rows, 50000 words"), dir.path());
}

} // namespace

CLIENT_BENCH(hints, runHints)
