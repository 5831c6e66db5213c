// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "env/BusCalls.h"
#include "env/Fcitx5InputMethods.h"
#include "env/ProbingInputMethods.h"
#include "env/X11WindowTitles.h"
#include "net/Connection.h"
#include "net/TcpSocket.h"
#include "net/TestControl.h"
#include "server/TestServer.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "ui/Form1.h"

#include <QSignalSpy>
#include <QTest>

using namespace realsession;

namespace {

QString fcitx5Current()
{
    return buscalls::firstText(
               buscalls::callAndWait(
                   QDBusConnection::sessionBus(),
                   buscalls::methodCall(Fcitx5InputMethods::serviceName(),
                                        QStringLiteral("/controller"),
                                        QStringLiteral("org.fcitx.Fcitx.Controller1"),
                                        QStringLiteral("CurrentInputMethod"))))
        .value;
}

} // namespace

// The whole path of a student on a desktop with fcitx5: the real main window with the real
// input method and window title services, against the bundled test server on 127.0.0.1.
class ClientRealTest : public QObject
{
    Q_OBJECT

private slots:
    void aWubiTestUnderFcitx5()
    {
        SKIP_UNLESS(missingFcitx5());
        if (qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("fcitx"))
            QSKIP("needs QT_IM_MODULE=fcitx");

        TestServer server;
        for (const QString &line :
             {QStringLiteral("ime 五笔"), QStringLiteral("forbid 记事本|测试|计算器"),
              QStringLiteral("text 春天来了")})
            QVERIFY(server.settings().script.apply(line, QDir()).ok());
        server.settings().messageGapMs = 20;
        server.settings().environmentPauseMs = 50;
        QVERIFY(server.listen(0).ok());

        ProbingInputMethods imes;
        X11WindowTitles titles;
        TcpSocket socket;
        TestEnv env;
        env.services.inputMethods = &imes;
        env.services.windowTitles = &titles;
        Form1 &form = env.createForm(&socket);
        Client &c = env.client();
        c.ui.Timer4->stop();
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = server.port();
        c.state.strXuehao = QStringLiteral("31");
        c.state.strUserName = QStringLiteral("李明");
        c.state.strBanji = QStringLiteral("三班");
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        // fcitx5 and its Qt plugin are there: nothing to tell the student.
        QCOMPARE(env.dialogs.count(), 0);

        QSignalSpy progress(&server, &TestServer::progressReported);
        c.connection->cmdlianjie_Click();
        // The client's own caption holds 测试: one warning, and none for names not open.
        QTRY_VERIFY_WITH_TIMEOUT(env.dialogs.count() >= 1, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.cmbshurufa->count(), 2, 10000);
        QCOMPARE(env.dialogs.count(), 1);
        QCOMPARE(env.dialogs.lastBox().text,
                 QStringLiteral("【测试】不允许在检测期间运行，请先关闭再继续！"));
        QCOMPARE(imes.framework(), QStringLiteral("fcitx5"));
        QCOMPARE(c.ui.cmbshurufa->items(),
                 (QStringList{QStringLiteral("英语（美国）"), QStringLiteral("五笔字型")}));

        c.ui.cmbshurufa->activate(1);
        QTRY_COMPARE_WITH_TIMEOUT(fcitx5Current(), QStringLiteral("wbx"), 10000);
        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("春天来了"), 10000);
        // Keys typed within a few milliseconds of the load can catch fcitx5 while the typing
        // box's input context is being focused again, which no person does: let it settle.
        QTest::qWait(500);

        // 春 is dwjf: a full code with one candidate commits by itself. fcitx5 loads the Wubi
        // table on first use and lets keys through until then: type again until it answers.
        QVERIFY(typeUntil(
            QStringLiteral("dwjf"), QStringLiteral("春"), [&] { return c.ui.txt2->text(); },
            [&] { c.ui.txt2->setText(QString()); }));
        QCOMPARE(c.state.NumTxtRight, 1);

        // The hot key switches away. Its own key events (the Ctrl key reaches the typing box)
        // or the next key pull fcitx5 back to Wubi: the backend sees the switch and undoes it,
        // and the next code commits.
        auto *fcitx5 = dynamic_cast<Fcitx5InputMethods *>(imes.current());
        QVERIFY(fcitx5);
        QSignalSpy seen(fcitx5, &Fcitx5InputMethods::activeSeen);
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+space")}), 0);
        const auto sawKeyboard = [&seen] {
            for (const QList<QVariant> &answer : std::as_const(seen))
                if (answer.at(0).toString() == QLatin1String("keyboard-us"))
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(sawKeyboard() || fcitx5Current() == QLatin1String("keyboard-us"),
                                 10000);
        if (fcitx5Current() == QLatin1String("keyboard-us"))
            QCOMPARE(xdotool({QStringLiteral("type"), QStringLiteral("x")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(fcitx5Current(), QStringLiteral("wbx"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sawKeyboard(), 10000);
        const QString typed = c.ui.txt2->text(); // 春, and x when it came after the switch
        QVERIFY(typeUntil(
            QStringLiteral("gdi "), typed + QStringLiteral("天"), [&] { return c.ui.txt2->text(); },
            [&] { c.ui.txt2->setText(typed); }));

        // The chosen item travels in the reports.
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 5000);
        QCOMPARE(progress.last().at(1).value<protocol::Report>().inputMethod,
                 QStringLiteral("五笔字型"));
        c.ui.Timer3->stop();
    }
};

CLIENT_TEST(ClientRealTest)
#include "tst_clientreal.moc"
