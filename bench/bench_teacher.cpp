// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// teacher-bench: one second of a class in the teacher's console, for a class of 200 and of
// 1000. Each sample takes the progress reports the class sends in a second (cut from the byte
// stream and parsed as the server does), applies them to the class list (kept sorted by speed)
// and stores them (the results store on disk, in WAL mode, committed), then paints once what
// changed, as the event loop paints it next: the cells of the table whose text changed (the
// whole table when the order changed), the speed picture, the summary, the lines under the
// table. The baseline is the same rows' texts written into a plain QTableWidget and painted the
// same way (a QTableWidget repaints the cells whose text changed), with the same column widths
// and row height, in the same run: each second the console's turn and then the baseline's.
#include "bench/BenchStats.h"
#include "server/ClassConsole.h"
#include "server/MessageSplitter.h"
#include "server/SortedRoster.h"
#include "server/TestServer.h"
#include "teacher/widgets/TeacherWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <array>
#include <vector>

namespace {

constexpr int kSeconds = 300;
constexpr int kWarmUp = 20;

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

// Student i's report at second t: a few characters a second, a mistake now and then.
protocol::Report reportOf(int student, int second)
{
    protocol::Report report;
    report.xuehao = QString::number(1000 + student);
    report.name = QStringLiteral("学生%1").arg(student);
    report.banji = QStringLiteral("三班");
    report.totalTime = second;
    report.txtCount = 3000;
    report.inputCount = std::min(3000, second * (1 + student % 4));
    report.right = report.inputCount - report.inputCount / (10 + student % 7);
    report.backspaces = second / 5;
    report.inputMethod = QStringLiteral("英语（美国）");
    report.computer = QStringLiteral("PC%1").arg(student);
    static const QString errors = QStringLiteral("的一是在不了有和人这");
    report.errChars = errors.left(student % 10);
    return report;
}

struct Result
{
    std::vector<double> console;
    std::vector<double> baseline;
    // The console's parts: reports applied, stored, class list told, labels, paint.
    std::array<std::vector<double>, 5> parts;
    int layoutChanges = 0;
};

// The baseline: the same rows' texts written into a plain QTableWidget, repainted.
double baselineSecond(QTableWidget &plain, int students, int second)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < students; ++i) {
        StudentRow row;
        row.live = reportOf(i, second);
        row.xuehao = row.live->xuehao;
        row.name = row.live->name;
        row.banji = row.live->banji;
        row.computer = row.live->computer;
        row.inputMethod = row.live->inputMethod;
        row.state = StudentRow::State::Typing;
        // The same texts as the console's rows, the connection's address included.
        row.connection = i + 1;
        row.peer = QStringLiteral("127.0.0.1:%1").arg(40000 + i);
        for (int column = 0; column < ClassRoster::ColumnCount; ++column) {
            const QString text = ClassRoster::cellText(row, column);
            if (QTableWidgetItem *item = plain.item(i, column))
                item->setText(text);
            else
                plain.setItem(i, column, new QTableWidgetItem(text));
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    return double(timer.nsecsElapsed()) / 1e6;
}

Result run(int students, bool detail, QTextStream &out)
{
    Result result;
    QTemporaryDir dir;
    TestServer server;
    ClassConsole console(server);
    if (const Status status = console.openStore(dir.filePath(QStringLiteral("bench.sqlite")));
        !status.ok())
        qFatal("%s", qPrintable(status.error));
    TestSetup setup;
    setup.text = QString(3000, u'字');
    (void)console.applySetup(setup);
    (void)console.startTest(QStringLiteral("bench"));
    TeacherWindow window(console);
    window.resize(1280, 760);
    window.show();
    window.table()->sortByColumn(ClassRoster::Speed, Qt::DescendingOrder);
    for (int i = 0; i < students; ++i)
        emit server.clientConnected(i + 1, QStringLiteral("127.0.0.1:%1").arg(40000 + i));
    QApplication::processEvents();

    // The baseline's table beside it, of the same size, column widths and row height.
    QTableWidget plain(students, ClassRoster::ColumnCount);
    plain.resize(window.table()->size());
    for (int column = 0; column < ClassRoster::ColumnCount; ++column)
        plain.setColumnWidth(column, window.table()->columnWidth(column));
    plain.verticalHeader()->setDefaultSectionSize(
        window.table()->verticalHeader()->defaultSectionSize());
    plain.show();
    QApplication::processEvents();

    // Each second the console's, then the baseline's: both meet the same load of the machine.
    for (int second = 1; second <= kSeconds + kWarmUp; ++second) {
        QStringList wire;
        for (int i = 0; i < students; ++i)
            wire << protocol::progressReport(reportOf(i, second));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < students; ++i) {
            const MessageSplitter::Result split = MessageSplitter::split(wire.at(i));
            for (const QString &message : split.messages)
                if (const auto report = protocol::parseProgressReport(message)) {
                    emit server.messageReceived(i + 1, message);
                    emit server.progressReported(i + 1, *report);
                }
        }
        const qint64 t1 = timer.nsecsElapsed();
        (void)console.store().commit();
        const qint64 t2 = timer.nsecsElapsed();
        // What the event loop does next: the class list tells the table of the changed cells.
        console.roster().flush();
        const qint64 t3 = timer.nsecsElapsed();
        window.refresh();
        const qint64 t4 = timer.nsecsElapsed();
        // One paint of everything that changed, as the event loop does it next: the cells of
        // the table whose text changed (all of it when the order changed), the speed picture,
        // the summary, the lines under the table.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const qint64 t5 = timer.nsecsElapsed();
        // The parts of the slow seconds, to see where a p99 comes from.
        if (detail && second > kWarmUp && t5 > 8'000'000)
            out << students << " second " << second << ": apply " << t1 / 1e6 << " store "
                << (t2 - t1) / 1e6 << " flush " << (t3 - t2) / 1e6 << " refresh " << (t4 - t3) / 1e6
                << " paint " << (t5 - t4) / 1e6 << Qt::endl;
        if (second > kWarmUp) {
            result.console.push_back(double(t5) / 1e6);
            const qint64 marks[] = {0, t1, t2, t3, t4, t5};
            for (int part = 0; part < 5; ++part)
                result.parts[part].push_back((marks[part + 1] - marks[part]) / 1e6);
        }
        if (second == kWarmUp)
            result.layoutChanges = -window.sortedRoster()->layoutChanges();
        QApplication::processEvents();
        // The reports' thread has written this second's reports before the baseline's turn.
        (void)console.store().sync();

        const double plainMs = baselineSecond(plain, students, second);
        if (second > kWarmUp)
            result.baseline.push_back(plainMs);
        QApplication::processEvents();
    }
    result.layoutChanges += window.sortedRoster()->layoutChanges();
    if (console.roster().size() != students)
        qFatal("the class list has %d rows, not %d", console.roster().size(), students);
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const bool detail = qEnvironmentVariableIsSet("TEACHER_BENCH_DETAIL");
    out << "load average: " << loadAverage() << Qt::endl;
    // TEACHER_BENCH_SIZES="200" measures one class size only.
    QList<int> sizes = {200, 1000};
    if (qEnvironmentVariableIsSet("TEACHER_BENCH_SIZES")) {
        sizes.clear();
        for (const QString &size : qEnvironmentVariable("TEACHER_BENCH_SIZES").split(u','))
            sizes << size.toInt();
    }
    for (const int students : std::as_const(sizes)) {
        const Result result = run(students, detail, out);
        out << bench::summary(QStringLiteral("console: one second of %1 reports parsed, applied, "
                                             "stored, sorted by speed, table + speed picture + "
                                             "summary repainted")
                                  .arg(students),
                              result.console)
            << Qt::endl;
        static const char *const parts[] = {"apply", "store", "class list told", "labels", "paint"};
        QStringList medians;
        for (int part = 0; part < 5; ++part)
            medians << QStringLiteral("%1 %2/%3")
                           .arg(QLatin1String(parts[part]))
                           .arg(bench::percentile(result.parts[part], 0.5), 0, 'f', 2)
                           .arg(bench::percentile(result.parts[part], 0.99), 0, 'f', 2);
        out << "  console parts (median/p99 ms): " << medians.join(QStringLiteral(", "))
            << "; the order changed in " << result.layoutChanges << " of " << kSeconds << " seconds"
            << Qt::endl;
        out << bench::summary(
                   QStringLiteral("baseline: %1 rows of texts into a QTableWidget, repainted")
                       .arg(students),
                   result.baseline)
            << Qt::endl;
    }
    out << "load average: " << loadAverage() << Qt::endl;
    out << "targets: 200 students no slower than the baseline of 200 (p99); 1000 students "
           "p99 <= 16 ms"
        << Qt::endl;
    return 0;
}
