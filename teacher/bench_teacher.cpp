// teacher-bench: one second of a class of 200 in the teacher's console. Each sample applies the
// 200 progress reports the class sends in a second (cut from the byte stream and parsed as the
// server does, then taken into the class list, kept sorted by speed) and repaints what the
// window repaints each second: the visible table, the speed picture and the summary. The
// baseline is the same 200 rows written into a plain QTableWidget and repainted, in the same
// run, with the same column widths and row height.
#include "BenchStats.h"
#include "ClassConsole.h"
#include "MessageSplitter.h"
#include "SpeedChart.h"
#include "TeacherWindow.h"
#include "TestServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>
#include <QTextStream>

#include <vector>

namespace {

constexpr int kStudents = 200;
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    TestServer server;
    ClassConsole console(server);
    TeacherWindow window(console);
    window.resize(1280, 760);
    window.show();
    window.table()->sortByColumn(ClassRoster::Speed, Qt::DescendingOrder);
    for (int i = 0; i < kStudents; ++i)
        emit server.clientConnected(i + 1, QStringLiteral("127.0.0.1:%1").arg(40000 + i));
    QApplication::processEvents();

    std::vector<double> console200;
    for (int second = 1; second <= kSeconds + kWarmUp; ++second) {
        QStringList wire;
        for (int i = 0; i < kStudents; ++i)
            wire << protocol::progressReport(reportOf(i, second));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kStudents; ++i) {
            const MessageSplitter::Result result = MessageSplitter::split(wire.at(i));
            for (const QString &message : result.messages)
                if (const auto report = protocol::parseProgressReport(message))
                    emit server.progressReported(i + 1, *report);
        }
        const qint64 t1 = timer.nsecsElapsed();
        // What the event loop does next: the class list tells the view of the changed rows.
        console.roster().flush();
        const qint64 t2 = timer.nsecsElapsed();
        window.refresh();
        const qint64 t3 = timer.nsecsElapsed();
        window.table()->viewport()->repaint();
        const qint64 t4 = timer.nsecsElapsed();
        window.findChild<SpeedChart *>()->repaint();
        const qint64 t5 = timer.nsecsElapsed();
        if (qEnvironmentVariableIsSet("TEACHER_BENCH_DETAIL") && second % 50 == 0)
            out << "apply " << t1 / 1e6 << " flush " << (t2 - t1) / 1e6 << " refresh "
                << (t3 - t2) / 1e6 << " table " << (t4 - t3) / 1e6 << " chart " << (t5 - t4) / 1e6
                << Qt::endl;
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (second > kWarmUp)
            console200.push_back(ms);
        QApplication::processEvents();
    }

    // Baseline: the same texts into a plain QTableWidget of the same size, repainted.
    QTableWidget plain(kStudents, ClassRoster::ColumnCount);
    plain.resize(window.table()->size());
    // The same cells visible: the same column widths and row height.
    for (int column = 0; column < ClassRoster::ColumnCount; ++column)
        plain.setColumnWidth(column, window.table()->columnWidth(column));
    plain.verticalHeader()->setDefaultSectionSize(
        window.table()->verticalHeader()->defaultSectionSize());
    plain.show();
    std::vector<double> baseline;
    for (int second = 1; second <= kSeconds + kWarmUp; ++second) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kStudents; ++i) {
            StudentRow row;
            row.live = reportOf(i, second);
            row.xuehao = row.live->xuehao;
            row.name = row.live->name;
            row.banji = row.live->banji;
            row.computer = row.live->computer;
            row.inputMethod = row.live->inputMethod;
            for (int column = 0; column < ClassRoster::ColumnCount; ++column) {
                const QString text = ClassRoster::cellText(row, column);
                if (QTableWidgetItem *item = plain.item(i, column))
                    item->setText(text);
                else
                    plain.setItem(i, column, new QTableWidgetItem(text));
            }
        }
        plain.viewport()->repaint();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (second > kWarmUp)
            baseline.push_back(ms);
        QApplication::processEvents();
    }

    out << "load average: " << loadAverage() << Qt::endl;
    out << bench::summary(QStringLiteral("console: one second of 200 reports applied, sorted by "
                                         "speed, table + speed picture + summary repainted"),
                          console200)
        << Qt::endl;
    out << bench::summary(QStringLiteral("baseline: 200 rows of texts into a QTableWidget, "
                                         "repainted"),
                          baseline)
        << Qt::endl;
    out << "target: median and p99 of the console <= 16 ms" << Qt::endl;
    return 0;
}
