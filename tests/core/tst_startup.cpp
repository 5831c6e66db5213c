// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/AppPaths.h"
#include "core/Client.h"
#include "core/IniStore.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void portSetting_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("expected");
        QTest::newRow("lowest") << "1024" << 1024;
        QTest::newRow("highest") << "65000" << 65000;
        QTest::newRow("below") << "1023" << 10000;
        QTest::newRow("above") << "65001" << 10000;
        QTest::newRow("not a number") << "abc" << 10000;
        QTest::newRow("empty") << "" << 10000;
        QTest::newRow("blanks around") << " 2000 " << 2000;
        QTest::newRow("half rounds to even, down") << "1024.5" << 1024;
        QTest::newRow("half rounds to even, up") << "1025.5" << 1026;
        QTest::newRow("rounds into range") << "1023.5" << 1024;
        QTest::newRow("rounds out of range") << "65000.5" << 65000;
        QTest::newRow("rounds above range") << "65000.6" << 10000;
        QTest::newRow("negative") << "-8080" << 10000;
        QTest::newRow("digits then text") << "8080x" << 10000;
    }
    void portSetting()
    {
        QFETCH(QString, port);
        QFETCH(int, expected);
        LogicEnv env;
        env.writeGbkFile("appset.ini", "[serverset]\r\nip=10.0.0.5\r\nport=" + port + "\r\n");
        env.createLogic();
        QCOMPARE(env.client().state.NumServerPort, expected);
        QCOMPARE(env.client().state.strServerIp, QStringLiteral("10.0.0.5"));
        QCOMPARE(env.dialogs.count(), 0);
    }

    void missingFileGivesDefaults()
    {
        LogicEnv env;
        env.createLogic();
        const ClientState &state = env.client().state;
        QCOMPARE(state.NumServerPort, 10000);
        QCOMPARE(state.strServerIp, QString());
        QCOMPARE(state.strUserName, QString());
        QCOMPARE(env.client().ui.sb->panelText(2), QStringLiteral("姓名："));
        QCOMPARE(env.dialogs.count(), 0);
        QVERIFY(!QFile::exists(env.dir.filePath("appset.ini"))); // reading creates nothing
    }

    void identityIsReadAndShown()
    {
        LogicEnv env;
        env.writeGbkFile("appset.ini", QStringLiteral("[UserInfo]\r\nName = 张三 \r\n"
                                                      "XUEHAO=2024001\r\nbanji=计算机一班\r\n"));
        env.createLogic();
        Client &client = env.client();
        QCOMPARE(client.state.strUserName, QStringLiteral("张三"));
        QCOMPARE(client.state.strXuehao, QStringLiteral("2024001"));
        QCOMPARE(client.state.strBanji, QStringLiteral("计算机一班"));
        QCOMPARE(client.ui.sb->panelText(2), QStringLiteral("姓名：张三"));
        QCOMPARE(client.ui.sb->panelText(3), QStringLiteral("学号：2024001"));
        QCOMPARE(client.ui.sb->panelText(4), QStringLiteral("班级：计算机一班"));
        QCOMPARE(client.ui.sb->panelText(5), QStringLiteral("计算机名：PC07"));
        QCOMPARE(client.state.NumHintDelay, 8);
        QCOMPARE(client.state.txtFontsize, 25);
        QCOMPARE(client.state.txtFontName, QStringLiteral("黑体"));
    }

    // A NUL byte in the file ends the name, as the identity is cut at its first NUL.
    // Start-up through the read-only program folder: the values of the file beside the
    // program, each overridden by what the user saved; nothing of the file beside is lost.
    void readOnlyProgramFolderSettingsReachTheState()
    {
        LogicEnv env;
        const QString program = env.dir.filePath(QStringLiteral("share"));
        const QString user = env.dir.filePath(QStringLiteral("home/chengling"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QDir().mkpath(user));
        env.writeGbkFile(QStringLiteral("share/appset.ini"),
                         QStringLiteral("[serverset]\r\nip=192.168.1.10\r\nport=10001\r\n"
                                        "[userinfo]\r\nname=\r\nbanji=初二（3）班\r\n"));
        env.services.paths = AppPaths::locate(program, false, user, QString());
        QVERIFY(WriteIni(QStringLiteral("userinfo"), QStringLiteral("name"), QStringLiteral("李明"),
                         env.services.paths.settingsFile())
                    .ok());
        env.createLogic();
        const ClientState &s = env.client().state;
        QCOMPARE(s.strServerIp, QStringLiteral("192.168.1.10"));
        QCOMPARE(s.NumServerPort, 10001);
        QCOMPARE(s.strUserName, QStringLiteral("李明"));
        QCOMPARE(s.strBanji, QStringLiteral("初二（3）班"));
        QCOMPARE(env.dialogs.count(), 0);
    }

    void nulInFileCutsIdentity()
    {
        LogicEnv env;
        env.writeGbkFile("appset.ini", QStringLiteral("[userinfo]\r\nname=张三") + QChar(0) +
                                           QStringLiteral("xyz\r\nxuehao=") + QChar(0) +
                                           QStringLiteral("1\r\n"));
        env.createLogic();
        QCOMPARE(env.client().state.strUserName, QStringLiteral("张三"));
        QCOMPARE(env.client().state.strXuehao, QString());
        QCOMPARE(env.client().ui.sb->panelText(2), QStringLiteral("姓名：张三"));
    }

    void checkStr_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QChar nul(0);
        QTest::newRow("no NUL") << QStringLiteral("王小明") << QStringLiteral("王小明");
        QTest::newRow("NUL third") << QStringLiteral("ab") + nul + "cd" << QStringLiteral("ab");
        QTest::newRow("NUL first") << QString(nul) + "abc" << QString();
        QTest::newRow("two NULs") << "a" + QString(nul) + "b" + nul << QStringLiteral("a");
        QTest::newRow("empty") << QString() << QString();
    }
    void checkStr()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        LogicEnv env;
        env.createLogic();
        ClientState &state = env.client().state;
        // Each of the three fields on its own, the others holding a NUL-free marker.
        for (QString *field : {&state.strUserName, &state.strXuehao, &state.strBanji}) {
            state.strUserName = state.strXuehao = state.strBanji = QStringLiteral("x");
            *field = text;
            env.client().checkStr();
            QCOMPARE(*field, expected);
            const QString marker = QStringLiteral("x");
            QCOMPARE(int(state.strUserName == marker) + int(state.strXuehao == marker) +
                         int(state.strBanji == marker),
                     2);
        }
    }

    void closesWhenNoTestRuns()
    {
        LogicEnv env;
        env.createLogic();
        QVERIFY(!env.client().Form_QueryUnload());
        QCOMPARE(env.dialogs.count(), 0);
    }

    // During a test the close is refused with a warning; the end button is there to end it,
    // whether the clock runs yet or not. Without a test the window closes at once.
    void closeGuard()
    {
        LogicEnv env;
        env.createLogic();
        Client &client = env.client();
        client.ui.Timer4->stop();
        QVERIFY(!client.Form_QueryUnload());
        QCOMPARE(env.dialogs.count(), 0);

        env.fakeSocket.raiseConnected();
        env.fakeSocket.arrive(QStringLiteral("0010中文"));
        QVERIFY(client.Form_QueryUnload()); // the close is cancelled
        QCOMPARE(env.dialogs.count(), 1);
        const FakeDialogs::Shown box = env.dialogs.lastBox();
        QCOMPARE(box.title, QStringLiteral("注意"));
        QCOMPARE(box.text, QStringLiteral("正在进行测试，无法退出。请先点击“结束”按钮。"));
        QCOMPARE(box.icon, int(Dialogs::Warning));
        QVERIFY(client.ui.cmdexit->isEnabled());
        QVERIFY(!client.ui.Timer3->isActive());

        env.dialogs.answerMessage = [](const FakeDialogs::Shown &) { return Dialogs::Yes; };
        client.ui.cmdexit->click();
        env.dialogs.answerMessage = nullptr;
        QVERIFY(!client.Form_QueryUnload());
    }
};

CLIENT_TEST(StartupTest)
#include "tst_startup.moc"
