// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "tests/server/ReadBack.h"
#include "tests/server/TermFixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

// The command-line server for one command: it ends by itself.
Run server(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QCoreApplication::applicationDirPath() + "/chengling-testserver", arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.output = "did not end";
        return run;
    }
    run.exitCode = process.exitCode();
    run.output = QString::fromLocal8Bit(process.readAll());
    return run;
}

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

} // namespace

// Reports, history and the setups library from the command line, without a window: what the
// tests and a school's scripts use.
class CommandLineReportsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_store;
    QList<qint64> m_tests;

private slots:
    void initTestCase()
    {
        m_store = m_dir.filePath("term.sqlite");
        ResultsStore store;
        QVERIFY(store.open(m_store).ok());
        m_tests = TermFixture::write(store);
    }

    void reportsOfEveryKindAndFormat_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("suffix");
        for (const char *suffix : {"csv", "xlsx", "pdf"}) {
            QTest::addRow("test %s", suffix) << "--export-test"
                                             << "5" << suffix;
            QTest::addRow("term %s", suffix) << "--export-term" << TermFixture::kClass << suffix;
            QTest::addRow("student %s", suffix)
                << "--export-student" << TermFixture::number(13) << suffix;
        }
    }
    void reportsOfEveryKindAndFormat()
    {
        QFETCH(QString, option);
        QFETCH(QString, key);
        QFETCH(QString, suffix);
        if (option == "--export-test")
            key = QString::number(m_tests.at(key.toInt()));
        const QString out =
            m_dir.filePath(QStringLiteral("report-%1.%2").arg(option.mid(9), suffix));
        const Run run = server({"--store", m_store, option, key, "--out", out});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QVERIFY(run.output.contains("report written"));
        QVERIFY(QFileInfo(out).size() > 0);
        QString error;
        if (suffix == "csv") {
            const QJsonArray rows = readback::csv(out, &error).value("rows").toArray();
            QVERIFY2(!rows.isEmpty(), qPrintable(error));
        } else if (suffix == "xlsx") {
            const QJsonObject book = readback::xlsx(out, &error);
            QVERIFY2(book.size() == 1, qPrintable(error));
            const QString text = QJsonDocument(book).toJson();
            // Each report names what it is about.
            if (option == "--export-student")
                QVERIFY(text.contains(TermFixture::name(13)));
            else
                QVERIFY(text.contains("合格"));
        } else {
            QFile pdf(out);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QVERIFY(pdf.read(5) == "%PDF-");
        }
    }

    void badRequestsSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no such test")
            << QStringList{"--export-test", "999999", "--out", "x.csv"} << "999999";
        QTest::newRow("no such student")
            << QStringList{"--export-student", "42", "--out", "x.csv"} << "42";
        QTest::newRow("unknown format")
            << QStringList{"--export-term", "三班", "--out", "x.doc"} << ".xlsx";
        QTest::newRow("no file") << QStringList{"--export-term", "三班"} << "--out";
        QTest::newRow("bad date") << QStringList{"--history", "三班", "--from", "3/1/2026"}
                                  << "--from";
        QTest::newRow("school without url") << QStringList{"--copy-to-school"} << "--school-db";
        QTest::newRow("not a school url")
            << QStringList{"--school-db", "mysql://x/y", "--list-tests"} << "postgresql://";
        QTest::newRow("pass mark")
            << QStringList{"--pass-accuracy", "120", "--list-tests"} << "100";
    }
    void badRequestsSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = server(QStringList{"--store", m_store} + arguments);
        QVERIFY(run.exitCode != 0);
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
    }

    void historyAndStudentPrinted()
    {
        Run run = server({"--store", m_store, "--history", TermFixture::kClass, "--from",
                          "2026-03-09", "--to", "2026-03-23"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        // Weeks 2 to 4.
        QCOMPARE(run.output.count("| passed "), 3);
        QVERIFY(run.output.contains("第2周") && run.output.contains("第4周"));
        QVERIFY(!run.output.contains("第5周"));
        QVERIFY(run.output.contains("improved: "));
        run = server({"--store", m_store, "--student", TermFixture::number(7)});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QCOMPARE(run.output.count("缺考"), 3);
        QVERIFY(run.output.contains("mistyped: 的×"));
    }

    void setupsLibrary()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath("setups.sqlite");
        const QString text = dir.filePath("gbk.txt");
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(gbk::encode(QStringLiteral("白日依山尽\n黄河入海流")).bytes);
        file.close();
        Run run = server({"--store", store, "--save-setup", "登鹳雀楼", "--import-text", text,
                          "--time-limit", "3", "--pass-speed", "30"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        run = server({"--store", store, "--list-setups"});
        QVERIFY2(run.output.contains("登鹳雀楼") && run.output.contains("10 characters") &&
                     run.output.contains("3 min") && run.output.contains("30字/分"),
                 qPrintable(run.output));
        // Started from the library, a setting option still overriding it.
        QProcess serving;
        serving.setProcessChannelMode(QProcess::MergedChannels);
        serving.start(QCoreApplication::applicationDirPath() + "/chengling-testserver",
                      {"--store", store, "--setup", "登鹳雀楼", "--time-limit", "4", "--port",
                       QString::number(freePort()), "--raw"});
        QVERIFY(serving.waitForStarted());
        QString output;
        const auto waitFor = [&](const QString &what) {
            return QTest::qWaitFor(
                [&] {
                    output += QString::fromLocal8Bit(serving.readAll());
                    return output.contains(what);
                },
                10000);
        };
        QVERIFY2(waitFor("raw mode"), qPrintable(output));
        serving.write("/setup-save 四分钟\n/setups\n");
        QVERIFY2(waitFor("setup \"四分钟\": 10 characters, 4 min, pass mark 30字/分"),
                 qPrintable(output));
        serving.write("/setup-delete 登鹳雀楼\n/setups\n");
        QTest::qWait(500);
        serving.kill();
        serving.waitForFinished();
        run = server({"--store", store, "--list-setups"});
        QVERIFY(!run.output.contains("登鹳雀楼"));
        QVERIFY(run.output.contains("四分钟"));
        run = server({"--store", store, "--setup", "登鹳雀楼"});
        QVERIFY(run.exitCode != 0);
    }
};

CLIENT_TEST(CommandLineReportsTest)
#include "tst_commandreports.moc"
