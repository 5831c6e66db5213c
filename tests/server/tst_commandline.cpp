// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "tests/server/ClassFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTcpServer>

#include <csignal>

namespace {

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// The command-line server as a process, its output collected.
class ServerProcess : public QObject
{
public:
    explicit ServerProcess(const QStringList &arguments)
    {
        connect(&process, &QProcess::readyReadStandardOutput, this,
                [this] { output += QString::fromLocal8Bit(process.readAllStandardOutput()); });
        process.start(QCoreApplication::applicationDirPath() + "/chengling-testserver", arguments);
    }
    ~ServerProcess() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    bool waitFor(const QString &text, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return output.contains(text); }, ms);
    }
    void command(const QByteArray &line) { process.write(line + '\n'); }

    QProcess process;
    QString output;
};

} // namespace

// The command-line server runs the same console: its commands on standard input do what the
// window's buttons do, and it keeps its results through a kill and a restart.
class CommandLineServerTest : public QObject
{
    Q_OBJECT
private slots:
    void commands()
    {
        const quint16 port = freePort();
        QTemporaryDir results;
        ServerProcess server({"--raw", "--quiet", "--port", QString::number(port), "--results",
                              results.path(), "--text", "春眠不觉晓"});
        QVERIFY2(server.waitFor("listening"), qPrintable(server.output));
        SimulatedStudent student(port, "12", "PC12");
        QVERIFY(server.waitFor("timing applied"));
        server.command("/start 期中");
        QVERIFY(server.waitFor("测试开始"));
        student.pressStart();
        QTRY_VERIFY_WITH_TIMEOUT(student.gotText, 10000);
        QCOMPARE(student.textLength, 5);
        server.command("/message 还有一分钟");
        QTRY_COMPARE_WITH_TIMEOUT(student.messages, QStringList{"还有一分钟"}, 10000);
        student.sendProgress(student.progress(30, 4, 3, "觉"));
        student.sendEnd(student.progress(31, 5, 4));
        QVERIFY(server.waitFor("*** END ***"));
        server.command("/summary\n/list\n/status\n/end");
        QVERIFY(server.waitFor("1人，已结束1人"));
        QVERIFY(server.output.contains("「觉」1"));
        QVERIFY(server.waitFor("12 | 学生12 | 三班 | PC12"));
        QVERIFY(server.waitFor("测试结束"));
        const QStringList files = QDir(results.path()).entryList({"*-期中.csv"});
        QCOMPARE(files.size(), 1);
        const QList<QStringList> lines = csvLines(results.filePath(files.first()));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().at(csv::Typed), "5");
        QCOMPARE(lines.first().at(csv::Finished), "是");
        server.command("/frobnicate");
        QVERIFY(server.waitFor("unknown command /frobnicate"));
        // A name with control characters never reaches the terminal raw.
        protocol::Report hostile = student.progress(32, 5, 4);
        hostile.xuehao = "13";
        hostile.name = "\x1b]0;pwned\a";
        SimulatedStudent other(port, "13", "PC13");
        QVERIFY(server.waitFor("#2 -> 1010"));
        other.send(protocol::progressReport(hostile));
        QVERIFY(server.waitFor("13 \\x1b]0;pwned\\x07"));
        QVERIFY(!server.output.contains(QChar(0x1b)));
    }

    // SIGKILL with nobody ended, then a restart on the same store: one test, one results file,
    // every student's last figures, the settings unchanged for the students who reconnect
    // (the restart's own options say otherwise), a finished result unchanged.
    void killedAndStartedAgain()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath("store/results.sqlite");
        const QString results = dir.filePath("csv");
        const quint16 port = freePort();
        const QString text = ClassFixture::text();
        const auto arguments = [&](const QString &limit) {
            return QStringList{"--raw",        "--quiet", "--port",       QString::number(port),
                               "--store",      store,     "--results",    results,
                               "--text",       text,      "--time-limit", limit,
                               "--hint-delay", "3"};
        };
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        {
            ServerProcess first(arguments("2"));
            QVERIFY2(first.waitFor("listening"), qPrintable(first.output));
            first.command("/start 崩溃");
            QVERIFY(first.waitFor("测试开始"));
            for (const char *number : {"1", "2", "3"}) {
                students.push_back(std::make_unique<SimulatedStudent>(
                    port, number, QStringLiteral("PC%1").arg(number)));
                SimulatedStudent &s = *students.back();
                QVERIFY(QTest::qWaitFor([&] { return s.timings.size() == 1; }, 10000));
                QCOMPARE(s.timings.first(), QStringLiteral("2|3"));
                s.pressStart();
                QVERIFY(QTest::qWaitFor([&] { return s.gotText; }, 10000));
            }
            students[0]->sendProgress(students[0]->progress(30, 20, 19, "晓"));
            students[1]->sendEnd(students[1]->progress(31, 25, 25));
            students[2]->sendProgress(students[2]->progress(40, 33, 30));
            QVERIFY(first.waitFor("*** END ***"));
            QVERIFY(first.waitFor("33, right 30"));
            // A report is on disk a moment after it came (the store commits every 100 ms).
            QTest::qWait(400);
            ::kill(pid_t(first.process.processId()), SIGKILL);
            QVERIFY(first.process.waitForFinished(5000));
            QCOMPARE(first.process.exitStatus(), QProcess::CrashExit);
        }
        for (auto &s : students)
            QTRY_COMPARE_WITH_TIMEOUT(s->socket.state(), QAbstractSocket::UnconnectedState, 5000);

        ServerProcess second(arguments("9"));
        QVERIFY2(second.waitFor("listening"), qPrintable(second.output));
        QVERIFY(second.output.contains("继续未结束的测试“崩溃”"));
        std::vector<std::unique_ptr<SimulatedStudent>> back;
        for (const char *number : {"1", "2"}) {
            back.push_back(std::make_unique<SimulatedStudent>(port, number,
                                                              QStringLiteral("PC%1").arg(number)));
            SimulatedStudent &s = *back.back();
            QVERIFY(QTest::qWaitFor([&] { return s.timings.size() == 1; }, 10000));
            // The test's own limit, not the restart's --time-limit 9.
            QCOMPARE(s.timings.first(), QStringLiteral("2|3"));
            s.textLength = text.size();
        }
        // Student 1 goes on typing; student 2, who had finished, tries to hand in again.
        back[0]->sendProgress(back[0]->progress(50, 30, 29, "晓"));
        back[1]->sendEnd(back[1]->progress(60, 60, 60));
        QVERIFY(second.waitFor("50 s | 60 chars, typed 30, right 29"));
        QVERIFY(second.waitFor("60 s | 60 chars, typed 60, right 60"));
        QTest::qWait(200);
        second.command("/end");
        QVERIFY(second.waitFor("测试结束"));
        const QStringList files = QDir(results).entryList({"*.csv"});
        QCOMPARE(files.size(), 1);
        QVERIFY(files.first().endsWith("-崩溃.csv"));
        QList<QStringList> lines = csvLines(QDir(results).filePath(files.first()));
        QCOMPARE(lines.size(), 3);
        std::sort(lines.begin(), lines.end());
        QCOMPARE(lines.at(0).at(csv::Time), "50");
        QCOMPARE(lines.at(0).at(csv::Right), "29");
        QCOMPARE(lines.at(0).at(csv::Finish), "老师结束");
        QCOMPARE(lines.at(1).at(csv::Time), "31");
        QCOMPARE(lines.at(1).at(csv::Right), "25");
        QCOMPARE(lines.at(1).at(csv::Finish), "交卷");
        QCOMPARE(lines.at(2).at(csv::Time), "40");
        QCOMPARE(lines.at(2).at(csv::Typed), "33");
        for (const QStringList &line : lines)
            QCOMPARE(line.at(csv::Finished), "是");
    }

    // SIGTERM: the results are written before the server goes, and the test goes on after.
    void terminatedWritesItsResults()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath("results.sqlite");
        const quint16 port = freePort();
        const QStringList arguments = {"--raw",   "--quiet",   "--port",    QString::number(port),
                                       "--store", store,       "--results", dir.filePath("csv"),
                                       "--text",  "春眠不觉晓"};
        {
            ServerProcess server(arguments);
            QVERIFY2(server.waitFor("listening"), qPrintable(server.output));
            SimulatedStudent student(port, "5", "PC5");
            QVERIFY(QTest::qWaitFor([&] { return student.timings.size() == 1; }, 10000));
            student.pressStart(); // the command-line server opens the test itself
            QTRY_VERIFY_WITH_TIMEOUT(student.gotText, 10000);
            student.sendProgress(student.progress(7, 3, 3));
            QVERIFY(server.waitFor("typed 3, right 3"));
            server.process.terminate();
            QVERIFY(server.process.waitForFinished(5000));
            QCOMPARE(server.process.exitStatus(), QProcess::NormalExit);
            QVERIFY(server.output.contains("results written"));
        }
        const QStringList files = QDir(dir.filePath("csv")).entryList({"*.csv"});
        QCOMPARE(files.size(), 1);
        const QList<QStringList> lines =
            csvLines(QDir(dir.filePath("csv")).filePath(files.first()));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().at(csv::Time), "7");
        ServerProcess again(arguments);
        QVERIFY2(again.waitFor("继续未结束的测试"), qPrintable(again.output));
    }
};

CLIENT_TEST(CommandLineServerTest)
#include "tst_commandline.moc"
