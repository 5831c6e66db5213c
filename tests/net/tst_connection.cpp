// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "net/Connection.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {
const QString kBlanks(20, u' ');

void setIdentity(Client &c)
{
    c.state.strUserName = QStringLiteral("李明");
    c.state.strXuehao = QStringLiteral("31");
    c.state.strBanji = QStringLiteral("三班");
}
} // namespace

class ConnectionTest : public QObject
{
    Q_OBJECT
private slots:
    void missingAddressOpensServerDialog()
    {
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        QSignalSpy serverDialog(&env.logic(), &ClientLogic::serverSettingsWanted);
        QSignalSpy personalDialog(&env.logic(), &ClientLogic::userSettingsWanted);
        c.state.strServerIp.clear(); // identity missing as well: the address comes first
        c.connection->cmdlianjie_Click();
        QCOMPARE(serverDialog.count(), 1);
        QCOMPARE(personalDialog.count(), 0);
        QCOMPARE(env.dialogs.shown.first().text, QStringLiteral("没有设置服务器地址！") + kBlanks);
        QCOMPARE(env.dialogs.shown.first().title, QStringLiteral("澄岭文字录入测试系统客户端"));
        QCOMPARE(env.dialogs.shown.first().icon, int(Dialogs::Warning));
        QCOMPARE(env.fakeSocket.connects, 0);
    }

    void missingIdentityOpensPersonalDialog()
    {
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = 1024;
        c.state.strUserName = QStringLiteral("李明");
        c.state.strXuehao = QStringLiteral("31");
        QSignalSpy serverDialog(&env.logic(), &ClientLogic::serverSettingsWanted);
        QSignalSpy personalDialog(&env.logic(), &ClientLogic::userSettingsWanted);
        c.connection->cmdlianjie_Click();
        QCOMPARE(env.dialogs.shown.first().text, QStringLiteral("没有设置个人信息！") + kBlanks);
        QCOMPARE(serverDialog.count(), 0);
        QCOMPARE(personalDialog.count(), 1);
        QCOMPARE(env.fakeSocket.connects, 0);
    }

    void completeSettingsConnect()
    {
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("192.168.0.10");
        c.state.NumServerPort = 1024;
        setIdentity(c);
        c.connection->cmdlianjie_Click();
        QCOMPARE(env.dialogs.count(), 0);
        QCOMPARE(env.fakeSocket.closes, 1);
        QCOMPARE(env.fakeSocket.connects, 1);
        QCOMPARE(env.fakeSocket.remoteHost(), QStringLiteral("192.168.0.10"));
        QCOMPARE(env.fakeSocket.remotePort(), 1024);
    }

    // The socket's events set the buttons through the test session: connect, start, end,
    // server settings, personal settings.
    void socketEventsSetButtons_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("test");
        QTest::addColumn<QString>("expected");
        QTest::newRow("connected between tests") << "connect" << false << "01011";
        QTest::newRow("connected during a test") << "connect" << true << "00100";
        QTest::newRow("peer closed during a test") << "close" << true << "10100";
        QTest::newRow("peer closed between tests") << "close" << false << "10011";
        QTest::newRow("error between tests") << "error" << false << "10011";
    }

    void socketEventsSetButtons()
    {
        QFETCH(QString, event);
        QFETCH(bool, test);
        QFETCH(QString, expected);
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.ui.Timer4->stop();
        if (test) {
            env.fakeSocket.raiseConnected();
            env.fakeSocket.arrive(QStringLiteral("0010中文"));
            QVERIFY(c.state.IsWorking);
        }
        if (event == QLatin1String("connect"))
            env.fakeSocket.raiseConnected();
        else if (event == QLatin1String("close"))
            env.fakeSocket.raiseClosed();
        else
            env.fakeSocket.raiseError();
        const std::array<ControlModel *, 5> buttons{c.ui.cmdlianjie, c.ui.cmdread, c.ui.cmdexit,
                                                    c.ui.cmdserverset, c.ui.cmduserset};
        QString shown;
        for (ControlModel *button : buttons)
            shown += button->isEnabled() ? u'1' : u'0';
        QCOMPARE(shown, expected);
    }

    void panelTextFollowsState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << QStringLiteral("已关闭到192.168.0.10的连接");
        QTest::newRow("1") << 1 << QStringLiteral("打开");
        QTest::newRow("2") << 2 << QStringLiteral("正在侦听");
        QTest::newRow("3") << 3 << QStringLiteral("连接挂起");
        QTest::newRow("4") << 4 << QStringLiteral("识别主机");
        QTest::newRow("5") << 5 << QStringLiteral("已识别主机");
        QTest::newRow("6") << 6 << QStringLiteral("正在连接192.168.0.10，端口：10000");
        QTest::newRow("7") << 7 << QStringLiteral("已连接到192.168.0.10，端口：10000");
        QTest::newRow("8") << 8 << QStringLiteral("同级人员正在关闭连接");
        QTest::newRow("9") << 9 << QStringLiteral("无法连接到服务器 192.168.0.10:10000");
    }

    void panelTextFollowsState()
    {
        QFETCH(int, state);
        QFETCH(QString, text);
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("192.168.0.10");
        env.fakeSocket.raiseConnected(); // after the first connection
        env.fakeSocket.setState(state);
        c.connection->Timer4_Timer();
        QCOMPARE(c.ui.sb->panelText(1), text);
    }

    // Before the student ever connected the panel says so, not that a connection was closed;
    // a server that cannot be reached is named, with the reason.
    void panelTellsWhatHappened_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused") << 10061
                                 << QStringLiteral("无法连接到服务器 192.168.1.10:10000：服务器拒绝"
                                                   "连接，老师的测试服务器可能还没有启动");
        QTest::newRow("no such host")
            << 11001
            << QStringLiteral("无法连接到服务器 192.168.1.10:10000：找不到这台服务器，请检查服务器"
                              "地址");
        QTest::newRow("timed out")
            << 10060
            << QStringLiteral("无法连接到服务器 192.168.1.10:10000：连接超时，"
                              "请检查服务器地址和网络");
        QTest::newRow("another") << 10053
                                 << QStringLiteral("无法连接到服务器 192.168.1.10:10000：网络错误");
    }
    void panelTellsWhatHappened()
    {
        QFETCH(int, error);
        QFETCH(QString, text);
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.ui.Timer4->stop();
        c.state.strServerIp = QStringLiteral("192.168.1.10");
        c.connection->Timer4_Timer();
        QCOMPARE(c.ui.sb->panelText(1), QStringLiteral("尚未连接到服务器"));
        setIdentity(c);
        c.connection->cmdlianjie_Click();
        env.fakeSocket.setState(Socket::Error);
        emit env.fakeSocket.error(error, QStringLiteral("whatever the system says"));
        c.connection->Timer4_Timer();
        QCOMPARE(c.ui.sb->panelText(1), text);
        // The settings stay open to mend a wrong address.
        QVERIFY(c.ui.cmdserverset->isEnabled());
        env.fakeSocket.raiseConnected();
        env.fakeSocket.raiseClosed();
        env.fakeSocket.setState(Socket::Closed);
        c.connection->Timer4_Timer();
        QCOMPARE(c.ui.sb->panelText(1), QStringLiteral("已关闭到192.168.1.10的连接"));
    }

    void unknownStateKeepsPanel()
    {
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.ui.sb->setPanelText(1, QStringLiteral("x"));
        env.fakeSocket.setState(12);
        c.connection->Timer4_Timer();
        QCOMPARE(c.ui.sb->panelText(1), QStringLiteral("x"));
    }

    void reconnectsOnlyDuringATest_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("working");
        QTest::addColumn<bool>("reconnects");
        for (int state = 0; state <= 9; ++state) {
            const bool lost = state == 0 || state == 3 || state == 8 || state == 9;
            QTest::addRow("state %d, test running", state) << state << true << lost;
            QTest::addRow("state %d, no test", state) << state << false << false;
        }
    }

    void reconnectsOnlyDuringATest()
    {
        QFETCH(int, state);
        QFETCH(bool, working);
        QFETCH(bool, reconnects);
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.ui.Timer4->stop();
        if (working) {
            env.fakeSocket.raiseConnected();
            env.fakeSocket.arrive(QStringLiteral("0010中文"));
        }
        env.fakeSocket.closes = 0;
        env.fakeSocket.setState(state);
        c.connection->Timer4_Timer();
        QCOMPARE(env.fakeSocket.connects, reconnects ? 1 : 0);
        QCOMPARE(env.fakeSocket.closes, reconnects ? 1 : 0);
    }

    // An end report that could not be sent keeps the connection wanted after the test: it is
    // made again by itself and the report goes out once, on the new connection.
    void reconnectsWhileAnEndReportWaits()
    {
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.ui.Timer4->stop();
        env.fakeSocket.raiseConnected();
        env.fakeSocket.arrive(QStringLiteral("0010中文"));
        env.fakeSocket.raiseClosed();
        env.dialogs.answerMessage = [](const FakeDialogs::Shown &box) {
            return box.buttons & Dialogs::Yes ? Dialogs::Yes : Dialogs::Ok;
        };
        c.session->cmdexit_Click();
        QVERIFY(!c.state.IsWorking);
        QCOMPARE(c.session->unsentReports(), 1);
        QCOMPARE(env.dialogs.lastBox().text,
                 QStringLiteral("与服务器的连接已断开。本次测试已经结束，"
                                "结束报告将在重新连接到服务器后发送。"));

        env.fakeSocket.setState(Socket::Error);
        c.connection->Timer4_Timer();
        QCOMPARE(env.fakeSocket.connects, 1);
        env.fakeSocket.sent.clear();
        env.fakeSocket.raiseConnected();
        QCOMPARE(env.fakeSocket.sent, QStringList{QStringLiteral("1098||||0|2|0|0|0")});
        QCOMPARE(c.session->unsentReports(), 0);
        // Sent once: a later connection gets nothing more, and nothing is retried any more.
        env.fakeSocket.raiseClosed();
        env.fakeSocket.raiseConnected();
        QCOMPARE(env.fakeSocket.sent.size(), 1);
        env.fakeSocket.setState(Socket::Error);
        c.connection->Timer4_Timer();
        QCOMPARE(env.fakeSocket.connects, 1);
    }
};

CLIENT_TEST(ConnectionTest)
#include "tst_connection.moc"
