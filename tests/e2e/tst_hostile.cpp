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
#include "typing/widgets/RichTextBox.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The client's own objects on a real socket against the test server's hostile mode: the client
// lives through the period and then runs a normal test.
class HostileEndToEndTest : public QObject
{
    Q_OBJECT
private slots:
    void clientAnswersANormalTestAfterTheHostilePeriod()
    {
        TestServer server;
        ServerSettings &settings = server.settings();
        for (const QString &line : {QStringLiteral("time-limit 10"), QStringLiteral("hint-delay 4"),
                                    QStringLiteral("text 干扰之后的测试")})
            QVERIFY(settings.script.apply(line, QDir()).ok());
        settings.messageGapMs = 20;
        settings.environmentPauseMs = 50;
        settings.hostileSettleMs = 500;
        QVERIFY(server.listen(0).ok());
        QVERIFY(server.startHostile(3, 2026).ok());
        QSignalSpy ended(&server, &TestServer::hostileEnded);
        QSignalSpy settingsSent(&server, &TestServer::settingsSent);
        QSignalSpy replies(&server, &TestServer::replyReceived);
        QSignalSpy progress(&server, &TestServer::progressReported);
        QSignalSpy ends(&server, &TestServer::endReported);

        TcpSocket socket;
        TestEnv env;
        env.createForm(&socket);
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = server.port();
        c.state.strXuehao = QStringLiteral("7");
        c.state.strUserName = QStringLiteral("王芳");
        c.state.strBanji = QStringLiteral("二班");
        // Every box is answered at once: Yes to questions, OK otherwise.
        env.windows.answer = FakeWindows::yesOrOk;

        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(settingsSent.size(), 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(c.state.MaxTime, 10, 5000);
        QTRY_COMPARE(c.state.NumHintDelay, 5);
        QCOMPARE(c.ui.cmbshurufa->itemText(0), QStringLiteral("英语（美国）"));
        // The bursts may have left a test running; the student ends it and starts afresh.
        if (c.state.IsWorking && c.ui.cmdexit->isEnabled())
            c.session->cmdexit_Click();
        c.state.IsWorking = false;

        const qsizetype repliesBefore = replies.size();
        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("干扰之后的测试"), 5000);
        QTRY_VERIFY(
            std::any_of(replies.cbegin() + repliesBefore, replies.cend(),
                        [](const QList<QVariant> &r) { return r.at(1).toString() == u"1011"; }));
        c.ui.txt2->setText(QStringLiteral("干扰"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !progress.isEmpty() && progress.last().at(1).value<protocol::Report>().inputCount == 2,
            5000);
        const auto report = progress.last().at(1).value<protocol::Report>();
        QCOMPARE(report.xuehao, QStringLiteral("7"));
        QCOMPARE(report.name, QStringLiteral("王芳"));
        QCOMPARE(report.txtCount, 7);
        QCOMPARE(report.right, 2);
        const qsizetype endsBefore = ends.size();
        c.session->cmdexit_Click();
        QTRY_COMPARE_WITH_TIMEOUT(ends.size(), endsBefore + 1, 5000);
        QCOMPARE(ends.last().at(1).value<protocol::Report>().right, 2);
        c.ui.Timer3->stop();
    }
};

CLIENT_TEST(HostileEndToEndTest)
#include "tst_hostile.moc"
