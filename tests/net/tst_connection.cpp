#include "LogicEnv.h"
#include "TestRegistry.h"
#include "client/ClientLogic.h"
#include "core/Client.h"
#include "net/Connection.h"

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

    void socketEventsSetButtons_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("working");
        // Expected enabled state: connect, start, end, server settings, personal settings.
        // 'u' = unchanged from the opposite of what the event would set.
        QTest::addColumn<QString>("expected");
        QTest::newRow("connected between tests") << "connect" << false << "01u00";
        QTest::newRow("connected during a test") << "connect" << true << "0u100";
        QTest::newRow("peer closed") << "close" << true << "10011";
        QTest::newRow("error") << "error" << false << "10u11";
    }

    void socketEventsSetButtons()
    {
        QFETCH(QString, event);
        QFETCH(bool, working);
        QFETCH(QString, expected);
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.state.IsWorking = working;
        const std::array<ControlModel *, 5> buttons{c.ui.cmdlianjie, c.ui.cmdread, c.ui.cmdexit,
                                                    c.ui.cmdserverset, c.ui.cmduserset};
        // Give every button a known state that each event must change or keep.
        for (int i = 0; i < 5; ++i)
            buttons[i]->setEnabled(expected[i] == u'u' ? true : expected[i] == u'0');
        if (event == QLatin1String("connect"))
            env.fakeSocket.raiseConnected();
        else if (event == QLatin1String("close"))
            env.fakeSocket.raiseClosed();
        else
            env.fakeSocket.raiseError();
        for (int i = 0; i < 5; ++i) {
            const bool want = expected[i] == u'u' ? true : expected[i] == u'1';
            QVERIFY2(buttons[i]->isEnabled() == want, qPrintable(QString::number(i)));
        }
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
        QTest::newRow("9") << 9 << QStringLiteral("错误");
    }

    void panelTextFollowsState()
    {
        QFETCH(int, state);
        QFETCH(QString, text);
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("192.168.0.10");
        env.fakeSocket.setState(state);
        c.connection->Timer4_Timer();
        QCOMPARE(c.ui.sb->panelText(1), text);
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
        c.state.IsWorking = working;
        env.fakeSocket.setState(state);
        c.connection->Timer4_Timer();
        QCOMPARE(env.fakeSocket.connects, reconnects ? 1 : 0);
        QCOMPARE(env.fakeSocket.closes, reconnects ? 1 : 0);
    }
};

CLIENT_TEST(ConnectionTest)
#include "tst_connection.moc"
