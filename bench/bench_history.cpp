// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// history-bench: opening a class's term history and a student's chart, for a class of 40
// students and 30 tests in the results store on disk (SQLite), and in the school's PostgreSQL
// database when CHENGLING_TEST_PG names one (tests/server/postgres-session.sh starts one).
// Each sample reads the history from the database and makes what the view shows: the class
// view (its tests' figures, the term's chart painted, the most improved) and the student view
// (the results with their grades, the speed and accuracy charts painted), and the same through
// the window (HistoryWindow, filled and painted). The baseline reads the same rows with one
// plain query and does nothing with them.
#include "bench/BenchStats.h"
#include "core/Figures.h"
#include "server/ClassConsole.h"
#include "server/History.h"
#include "server/Reports.h"
#include "server/SchoolCopy.h"
#include "server/TestServer.h"
#include "teacher/widgets/HistoryWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <vector>

namespace {

constexpr int kStudents = 40;
constexpr int kTests = 30;
constexpr int kSamples = 200;
const QString kClass = QStringLiteral("三班");

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

// A term: student i types 100 + t·(i mod 6) + 2i right characters in test t, in 300 s, with a
// progress report of each second's last figures stored too (300 reports a result).
void writeTerm(ResultsStore &store)
{
    for (int t = 0; t < kTests; ++t) {
        StoredTest test;
        test.name = QStringLiteral("第%1周").arg(t + 1);
        test.startedAt = QDateTime(QDate(2026, 3, 2), QTime(9, 0)).toMSecsSinceEpoch() +
                         qint64(t) * 7 * 24 * 3600 * 1000;
        test.banji = kClass;
        test.setup.text = QString(600, u'字');
        (void)store.beginTest(test);
        for (int i = 0; i < kStudents; ++i) {
            StudentRow row;
            row.xuehao = QString::number(2026001 + i);
            row.name = QStringLiteral("学生%1").arg(i);
            row.banji = kClass;
            protocol::Report report;
            report.totalTime = 300;
            report.txtCount = 600;
            report.right = 100 + t * (i % 6) + 2 * i;
            report.inputCount = report.right + i % 5;
            report.errChars = QStringLiteral("的是");
            row.final = report;
            row.finish = StudentRow::Finish::TeacherEnded;
            (void)store.saveResult(test.id, row);
            for (int second = 1; second <= 300; ++second) {
                protocol::Report progress = report;
                progress.totalTime = second;
                store.appendReport(row.resultId, progress, true, 0);
            }
        }
        (void)store.endTest(test.id, test.startedAt + 300000, QStringLiteral("teacher"));
        (void)store.sync();
    }
}

struct Samples
{
    std::vector<double> classView;
    std::vector<double> studentView;
    std::vector<double> window;
    std::vector<double> baseline;
};

Samples measure(QSqlDatabase db, ClassConsole &console, bool school)
{
    Samples samples;
    QImage canvas(900, 320, QImage::Format_RGB32);
    HistoryWindow window(console);
    window.show();
    // The window reads where the benchmark reads: the school's database is its second source.
    if (school)
        window.findChild<QComboBox *>()->setCurrentIndex(1);
    for (int sample = 0; sample < kSamples + 10; ++sample) {
        const QString number = QString::number(2026001 + sample % kStudents);
        QElapsedTimer timer;
        timer.start();
        // The class view: the term's figures, its table and chart.
        history::History history(db);
        const history::Class term = history.classHistory(kClass);
        const reports::Table table = reports::termTable(term);
        {
            QPainter painter(&canvas);
            painter.fillRect(canvas.rect(), Qt::white);
            trendchart::draw(painter, canvas.rect(), reports::classSpeedChart(term));
        }
        const double classMs = timer.nsecsElapsed() / 1e6;
        timer.restart();
        // The student view: the results with their grades, both charts.
        const history::Student student = history.student(number);
        const reports::Table results = reports::studentTable(student);
        {
            QPainter painter(&canvas);
            painter.fillRect(canvas.rect(), Qt::white);
            trendchart::draw(painter, QRectF(0, 0, 450, 320), reports::studentSpeedChart(student));
            trendchart::draw(painter, QRectF(450, 0, 450, 320),
                             reports::studentAccuracyChart(student));
        }
        const double studentMs = timer.nsecsElapsed() / 1e6;
        if (term.tests.size() != kTests || student.results.size() != kTests ||
            table.rows.size() != kTests || results.rows.size() != kTests)
            qFatal("the history has %lld tests, not %d", qlonglong(term.tests.size()), kTests);
        // The same through the window: both views filled, then painted.
        timer.restart();
        window.showClass(kClass);
        window.showStudent(number);
        window.repaint();
        const double windowMs = timer.nsecsElapsed() / 1e6;
        // Baseline: the same result rows read with one plain query.
        timer.restart();
        QSqlQuery plain(db);
        plain.setForwardOnly(true);
        plain.exec(QStringLiteral("SELECT t.id, t.started_at, r.xuehao, r.right_count, "
                                  "r.input_count, r.total_time FROM tests t JOIN results r ON "
                                  "r.test_id = t.id WHERE t.banji = '三班'"));
        int rows = 0;
        while (plain.next())
            rows += plain.value(3).toInt() > 0;
        const double baselineMs = timer.nsecsElapsed() / 1e6;
        if (rows != kStudents * kTests)
            qFatal("the plain query read %d rows", rows);
        if (sample >= 10) {
            samples.classView.push_back(classMs);
            samples.studentView.push_back(studentMs);
            samples.window.push_back(windowMs);
            samples.baseline.push_back(baselineMs);
        }
    }
    return samples;
}

void print(QTextStream &out, const QString &where, const Samples &s)
{
    out << bench::summary(where + QStringLiteral(": class view (term of 40 x 30 read, figures, "
                                                 "chart painted)"),
                          s.classView)
        << Qt::endl;
    out << bench::summary(where + QStringLiteral(": student view (30 results read, grades, two "
                                                 "charts painted)"),
                          s.studentView)
        << Qt::endl;
    out << bench::summary(where + QStringLiteral(": the history window, both views filled and "
                                                 "repainted"),
                          s.window)
        << Qt::endl;
    out << bench::summary(where + QStringLiteral(": baseline, the 1200 result rows by one plain "
                                                 "query"),
                          s.baseline)
        << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << "load average: " << loadAverage() << Qt::endl;
    QTemporaryDir dir;
    TestServer server;
    ClassConsole console(server);
    const QString path = dir.filePath(QStringLiteral("term.sqlite"));
    if (const Status status = console.openStore(path); !status.ok())
        qFatal("%s", qPrintable(status.error));
    console.setClassName(kClass);
    writeTerm(console.store());
    print(out, QStringLiteral("SQLite"), measure(console.store().database(), console, false));

    const QString url = qEnvironmentVariable("CHENGLING_TEST_PG");
    if (!url.isEmpty()) {
        if (const Status status = console.setSchoolDatabase(url, 3600 * 1000); !status.ok())
            qFatal("%s", qPrintable(status.error));
        if (const Status status = console.schoolCopy()->copyNow(); !status.ok())
            qFatal("%s", qPrintable(status.error));
        QString error;
        QSqlDatabase school = console.historyDatabase(true, &error);
        if (!school.isValid())
            qFatal("%s", qPrintable(error));
        print(out, QStringLiteral("PostgreSQL"), measure(school, console, true));
    }
    out << "load average: " << loadAverage() << Qt::endl;
    out << "target: class view and student view <= 100 ms (median and p99) on SQLite" << Qt::endl;
    return 0;
}
