// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "net/Connection.h"
#include "net/TcpSocket.h"
#include "net/TestControl.h"
#include "practice/widgets/Form6.h"
#include "practice/widgets/RootInputBox.h"
#include "server/TestServer.h"
#include "tests/practice/PracticeFixture.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "typing/widgets/Form5.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// Presses and releases a key on the X display, as the student's keyboard would.
bool pressKey(const QString &key)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}) == 0;
}

} // namespace

// The real client and the bundled test server on 127.0.0.1, on an X display of their own; the
// keys of the practice come from xdotool.
class RootPracticeX11Test : public QObject
{
    Q_OBJECT
private slots:
    void practiceFromTheServerWithRealKeys()
    {
        TestServer server;
        for (const QString &line : {QStringLiteral("roots on"), QStringLiteral("time-limit 0"),
                                    QStringLiteral("text <zg>2/30")})
            QVERIFY(server.settings().script.apply(line, QDir()).ok());
        server.settings().messageGapMs = 20;
        server.settings().environmentPauseMs = 50;
        QVERIFY(server.listen(0).ok());
        QSignalSpy settings(&server, &TestServer::settingsSent);
        QSignalSpy progress(&server, &TestServer::progressReported);

        TcpSocket socket;
        TestEnv env;
        QFile table(env.dir.filePath(QStringLiteral("86zg.dat")));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write(gbkLines(sampleRows()));
        table.close();
        Form1 &mainWindow = env.createForm(&socket);
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = server.port();
        c.state.strXuehao = QStringLiteral("31");
        c.state.strUserName = QStringLiteral("李明");
        c.state.strBanji = QStringLiteral("三班");
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(c.state.Zigen, 5000);
        c.session->cmdread_Click();
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow.practiceWindow() != nullptr, 5000);
        Form6 *form = mainWindow.practiceWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTRY_VERIFY(!mainWindow.isVisible());
        QCOMPARE(c.state.NumTxtCount, 30);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), form->RTinput, 5000);

        // A wrong key first: nothing is accepted.
        const PracticeSession &session = *form->session();
        const QString exercise = session.strip().exercise();
        const QString firstKey = session.table().keyOf(exercise.at(0))->toLower();
        QVERIFY(
            pressKey(firstKey == QLatin1String("h") ? QStringLiteral("j") : QStringLiteral("h")));
        QTest::qWait(100);
        QCOMPARE(c.state.NumTxtInputCount, 0);

        QString sentence;
        QString errors;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *result = qobject_cast<Form5 *>(QApplication::activeModalWidget())) {
                sentence = result->Lmsg->text();
                errors = result->Label1->text();
                result->close();
            }
        });
        poll.start();

        for (int accepted = 0; accepted < 30;) {
            const QString root = session.strip().nextRoot();
            // A page whose next root is not shown yet is turned by a key of its own.
            const QString key =
                root.isEmpty() ? QStringLiteral("z") : session.table().keyOf(root.at(0))->toLower();
            QVERIFY(pressKey(key));
            if (!root.isEmpty()) {
                ++accepted;
                QTRY_COMPARE_WITH_TIMEOUT(c.state.NumTxtInputCount, accepted, 3000);
            } else {
                QTest::qWait(100);
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(!sentence.isEmpty(), 5000);
        QVERIFY2(sentence.contains(
                     QStringLiteral("总字数：30个，已录入：30个，正确数：30个，退格次数：0次")),
                 qPrintable(sentence));
        // The wrong key of the start is in the result.
        QCOMPARE(errors, QStringLiteral("有1个字根按错，共按错键1次。"));
        QTRY_VERIFY(!c.state.IsWorking);
        // The practice is timed and reported by the test clock, so the server saw it.
        QTRY_VERIFY_WITH_TIMEOUT(
            !progress.isEmpty() && progress.last().at(1).value<protocol::Report>().inputCount == 30,
            3000);

        QPointer<Form6> closing = form;
        form->close();
        QTRY_VERIFY(!closing);
        QTRY_VERIFY(mainWindow.isVisible());
        c.ui.Timer3->stop();
    }
};

CLIENT_TEST(RootPracticeX11Test)

#include "tst_rootpractice_x11.moc"
