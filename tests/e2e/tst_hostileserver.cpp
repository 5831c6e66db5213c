// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "net/Connection.h"
#include "net/TcpSocket.h"
#include "net/TestControl.h"
#include "server/TestServer.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "ui/Form1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

// Whether the bundled test server at this path offers its hostile mode.
bool serverHasHostileMode(const QString &server)
{
    QProcess probe;
    probe.start(server, {QStringLiteral("--help")});
    if (!probe.waitForFinished(5000))
        return false;
    return (probe.readAllStandardOutput() + probe.readAllStandardError()).contains("--hostile");
}

int envNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

// The real client objects on a real socket under a hostile server for a while (a desktop run
// under Xvfb, see tests/CMakeLists.txt), then a normal test against the bundled server: the
// client has not crashed, still answers, and reports the right counts.
class HostileServerTest : public QObject
{
    Q_OBJECT
private slots:
    void survivesAndStillAnswers()
    {
        if (!qEnvironmentVariableIsSet("CLIENT_HOSTILE"))
            QSKIP("run by the hostile test of ctest (CLIENT_HOSTILE=1, under Xvfb)");
        const int seconds = envNumber("HOSTILE_SECONDS", 20);
        const quint32 seed = quint32(envNumber("HOSTILE_SEED", 7));

        TcpSocket socket;
        TestEnv env;
        env.createForm(&socket);
        env.form->show();
        Client &c = env.client();
        c.state.strXuehao = QStringLiteral("31");
        c.state.strUserName = QStringLiteral("李明");
        c.state.strBanji = QStringLiteral("三班");
        // Every box is answered at once: Yes to questions, OK otherwise.
        env.windows.answer = FakeWindows::yesOrOk;

        // The hostile phase: the bundled test server's hostile mode, as a teacher would run it.
        const QString serverPath =
            QCoreApplication::applicationDirPath() + QStringLiteral("/chengling-testserver");
        QVERIFY2(QFile::exists(serverPath) && serverHasHostileMode(serverPath),
                 qPrintable(serverPath + QStringLiteral(" offers no --hostile mode")));
        QTcpServer probe; // a free port for the server process
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        QProcess process;
        process.start(
            serverPath,
            {QStringLiteral("--port"), QString::number(port), QStringLiteral("--hostile"),
             QString::number(seconds), QStringLiteral("--seed"), QString::number(seed),
             QStringLiteral(CLIENT_SOURCE_DIR "/tools/testserver/samples/chinese-text.script")});
        QVERIFY(process.waitForStarted(5000));
        QTest::qWait(500);
        qInfo("hostile phase: the test server's --hostile mode, %d s, seed %u", seconds, seed);
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = port;
        QSignalSpy arrivals(&socket, &Socket::dataArrival);
        c.connection->cmdlianjie_Click();

        // The student presses start and types now and then, as during a real test.
        QTimer student;
        student.setInterval(40);
        int round = 0;
        QObject::connect(&student, &QTimer::timeout, [&] {
            ++round;
            if (c.ui.cmdread->isEnabled() && round % 25 == 0)
                c.session->cmdread_Click();
            if (!c.ui.txt2->isReadOnly() && c.ui.txt2->length() < 500)
                c.ui.txt2->replace(c.ui.txt2->length(), 0, QStringLiteral("中"));
        });
        student.start();
        QElapsedTimer phase;
        phase.start();
        while (phase.elapsed() < seconds * 1000)
            QTest::qWait(100);
        student.stop();
        process.kill();
        process.waitForFinished(5000);

        // The phase was one: the client took a stream of hostile arrivals.
        qInfo("the client handled %lld arrivals", qlonglong(arrivals.count()));
        QVERIFY(arrivals.count() >= 20);

        // End whatever the hostile server left running, without a server behind it.
        QTest::qWait(200);
        if (c.state.IsWorking)
            c.session->cmdexit_Click();
        c.ui.Timer3->stop();

        // A normal test against the bundled server.
        TestServer server;
        for (const QString &line :
             {QStringLiteral("roots on"), QStringLiteral("hints on"), QStringLiteral("ime 不限制"),
              QStringLiteral("time-limit 0"), QStringLiteral("hint-delay 5"),
              QStringLiteral("text 中文录入测试")})
            QVERIFY(server.settings().script.apply(line, QDir()).ok());
        server.settings().messageGapMs = 20;
        server.settings().environmentPauseMs = 50;
        QVERIFY(server.listen(0).ok());
        QSignalSpy settings(&server, &TestServer::settingsSent);
        QSignalSpy progress(&server, &TestServer::progressReported);
        QSignalSpy ends(&server, &TestServer::endReported);
        c.state.NumServerPort = server.port();
        c.ui.cmdlianjie->setEnabled(true);
        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(c.ui.cmdread->isEnabled(), 10000);
        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("中文录入测试"), 10000);
        c.ui.txt2->setText(QStringLiteral("中问"));
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 10000);
        const auto report = progress.last().at(1).value<protocol::Report>();
        QCOMPARE(report.name, QStringLiteral("李明"));
        QCOMPARE(report.txtCount, 6);
        QCOMPARE(report.inputCount, 2);
        QCOMPARE(report.right, 1);
        c.session->cmdexit_Click();
        QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 10000);
        QCOMPARE(ends.first().at(1).value<protocol::Report>().right, 1);
        c.ui.Timer3->stop();
    }
};

CLIENT_TEST(HostileServerTest)
#include "tst_hostileserver.moc"
