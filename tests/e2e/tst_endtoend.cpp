// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/Gbk.h"
#include "net/Connection.h"
#include "net/TcpSocket.h"
#include "net/TestControl.h"
#include "practice/widgets/Form6.h"
#include "server/TestServer.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "typing/widgets/MessageWindows.h"
#include "typing/widgets/RichTextBox.h"

#include "ui/Form1.h"
#include "ui/StatusBar.h"
#include <QMessageBox>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The real client objects on a real socket, and the bundled test server on 127.0.0.1.
struct Classroom
{
    explicit Classroom(const QStringList &script)
    {
        for (const QString &line : script)
            if (const Status s = server.settings().script.apply(line, QDir()); !s.ok())
                qFatal("bad script line: %s", qPrintable(s.error));
        server.settings().messageGapMs = 20;
        server.settings().environmentPauseMs = 50;
        if (const Status s = server.listen(0); !s.ok())
            qFatal("cannot listen: %s", qPrintable(s.error));
        env.createForm(&socket);
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = server.port();
        c.state.strXuehao = QStringLiteral("31");
        c.state.strUserName = QStringLiteral("李明");
        c.state.strBanji = QStringLiteral("三班");
        // Every box is answered at once: Yes to questions, OK otherwise.
        env.windows.answer = FakeWindows::yesOrOk;
    }
    ~Classroom() { env.client().ui.Timer3->stop(); }

    Client &client() { return env.client(); }

    TestServer server;
    TcpSocket socket;
    TestEnv env;
};

} // namespace

class EndToEndTest : public QObject
{
    Q_OBJECT
private slots:
    void wholeTestAgainstTheServer()
    {
        Classroom room({QStringLiteral("roots on"), QStringLiteral("hints on"),
                        QStringLiteral("ime 不限制"), QStringLiteral("time-limit 10"),
                        QStringLiteral("hint-delay 5"), QStringLiteral("text 中文录入测试"),
                        QStringLiteral("message 0 请注意时间")});
        QSignalSpy settings(&room.server, &TestServer::settingsSent);
        QSignalSpy replies(&room.server, &TestServer::replyReceived);
        QSignalSpy progress(&room.server, &TestServer::progressReported);
        QSignalSpy ends(&room.server, &TestServer::endReported);
        Client &c = room.client();

        c.connection->cmdlianjie_Click();
        QTRY_VERIFY_WITH_TIMEOUT(c.ui.cmdread->isEnabled(), 5000);
        QVERIFY(!c.ui.cmdlianjie->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        QTRY_COMPARE(c.ui.sb->panelText(1), QStringLiteral("已连接到127.0.0.1，端口：") +
                                                QString::number(room.server.port()));
        QVERIFY(c.state.Zigen);
        QVERIFY(c.ui.cts->isEnabled());
        QCOMPARE(c.state.MaxTime, 10);
        QCOMPARE(c.state.NumHintDelay, 6);
        QCOMPARE(c.ui.cmbshurufa->itemText(0), QStringLiteral("英语（美国）"));

        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("中文录入测试"), 5000);
        QVERIFY(c.state.IsWorking);
        QVERIFY(c.ui.cmdexit->isEnabled());
        const auto replyCodes = [&replies] {
            QStringList codes;
            for (const auto &r : std::as_const(replies))
                codes << r.at(1).toString();
            return codes;
        };
        QTRY_VERIFY_WITH_TIMEOUT(replyCodes().contains(QStringLiteral("1011")), 3000);
        const QStringList codes = replyCodes();
        QVERIFY(codes.contains(QStringLiteral("1008")));
        QVERIFY(codes.contains(QStringLiteral("1010")));
        QVERIFY(codes.contains(QStringLiteral("1009")));
        // The teacher's message appears in the message window.
        QTRY_VERIFY_WITH_TIMEOUT(room.env.form->windows().form4() != nullptr, 3000);

        // Typing starts the clock; the progress report carries the counts.
        c.ui.txt2->setText(QStringLiteral("中问"));
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 3000);
        const auto report = progress.last().at(1).value<protocol::Report>();
        QCOMPARE(report.xuehao, QStringLiteral("31"));
        QCOMPARE(report.name, QStringLiteral("李明"));
        QCOMPARE(report.banji, QStringLiteral("三班"));
        QCOMPARE(report.txtCount, 6);
        QCOMPARE(report.inputCount, 2);
        QCOMPARE(report.right, 1);
        QCOMPARE(report.inputMethod, QStringLiteral("英语（美国）"));
        QCOMPARE(report.computer, QStringLiteral("PC07"));
        QCOMPARE(report.errChars, QStringLiteral("文"));

        c.session->cmdexit_Click();
        QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 3000);
        const auto end = ends.first().at(1).value<protocol::Report>();
        QCOMPARE(end.inputCount, 2);
        QCOMPARE(end.right, 1);
        QCOMPARE(end.totalTime, c.state.TotalTime);
        QVERIFY(!c.state.IsWorking);
    }

    // A one-minute test ends on the tick that brings the clock to 60 seconds: the result
    // window shows, and the last progress report, sent as the test ends, carries 60.
    void timedTestEndsOnItsTickWithTheFinalReport()
    {
        Classroom room({QStringLiteral("time-limit 1"), QStringLiteral("text 计时测试的文本")});
        QSignalSpy settings(&room.server, &TestServer::settingsSent);
        QSignalSpy progress(&room.server, &TestServer::progressReported);
        Client &c = room.client();
        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(c.state.MaxTime, 1, 5000);
        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("计时测试的文本"), 5000);

        // The clock counts ticks, not wall time: run it fast so that a minute passes quickly.
        c.ui.Timer3->setInterval(20);
        int resultWindows = 0;
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&resultWindows] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++resultWindows;
                modal->close();
            }
        });
        closer.start();
        c.ui.txt2->setText(QStringLiteral("计时侧"));
        QVERIFY(c.ui.Timer3->isActive());

        QTRY_VERIFY_WITH_TIMEOUT(!c.state.IsWorking, 20000);
        QVERIFY(!c.ui.Timer3->isActive());
        QCOMPARE(resultWindows, 1);
        QVERIFY(c.ui.txt2->isReadOnly());
        QCOMPARE(c.state.TotalTime, 60);
        QTRY_VERIFY_WITH_TIMEOUT(
            !progress.isEmpty() && progress.last().at(1).value<protocol::Report>().totalTime == 60,
            3000);
        QTest::qWait(200);
        const auto last = progress.last().at(1).value<protocol::Report>();
        QCOMPARE(last.totalTime, 60);
        QCOMPARE(last.inputCount, 3);
        QCOMPARE(last.right, 2);
        QCOMPARE(last.txtCount, 7);
        QCOMPARE(last.errChars, QStringLiteral("测"));
        QCOMPARE(c.ui.Ltime3->text(), QStringLiteral("0分0秒"));
    }

    // The teacher's test after a root practice: the practice window closes by itself, the
    // main window has the test, and the test is reported to its end.
    void practiceThenTestAgainstTheServer()
    {
        Classroom room({QStringLiteral("text <zg>0/3")});
        QFile table(room.env.dir.filePath(QStringLiteral("86zg.dat")));
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write(gbk::encode(QStringLiteral("G王一五戋\r\nF土士二干\r\n")).bytes);
        table.close();
        QSignalSpy settings(&room.server, &TestServer::settingsSent);
        QSignalSpy progress(&room.server, &TestServer::progressReported);
        Client &c = room.client();
        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        c.session->cmdread_Click();
        QTRY_VERIFY_WITH_TIMEOUT(room.env.form->practiceWindow() != nullptr, 5000);
        QPointer<Form6> practice = room.env.form->practiceWindow();
        QCOMPARE(c.session->phase(), TestSession::Phase::RootPractice);
        c.ui.Timer3->setInterval(50);
        // The practice is reported while it runs, with its own count of roots.
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 3000);
        QCOMPARE(progress.last().at(1).value<protocol::Report>().txtCount, 3);

        room.server.sendToAll(protocol::textMessage({protocol::TextKind::Plain, "abc"}));
        QTRY_VERIFY_WITH_TIMEOUT(practice.isNull(), 5000);
        QVERIFY(room.env.form->isVisible());
        QCOMPARE(c.ui.txt1->text(), QStringLiteral("abc"));
        QVERIFY(c.state.IsWorking);
        QVERIFY(!c.ui.txt2->isReadOnly());

        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        closer.start();
        c.ui.txt2->setText(QStringLiteral("abc"));
        QTRY_VERIFY_WITH_TIMEOUT(!c.state.IsWorking, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(progress.last().at(1).value<protocol::Report>().txtCount == 3 &&
                                     progress.last().at(1).value<protocol::Report>().inputCount ==
                                         3,
                                 3000);
        QCOMPARE(progress.last().at(1).value<protocol::Report>().right, 3);
    }

    // A new text that comes while the end question is open waits for the answer: the end
    // report carries the old test's figures, then the new text loads and is answered.
    void newTextDuringTheEndQuestionAgainstTheServer()
    {
        Classroom room({QStringLiteral("text 第一篇文字")});
        QSignalSpy settings(&room.server, &TestServer::settingsSent);
        QSignalSpy ends(&room.server, &TestServer::endReported);
        QSignalSpy replies(&room.server, &TestServer::replyReceived);
        Client &c = room.client();
        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("第一篇文字"), 5000);
        c.ui.txt2->setText(QStringLiteral("第一"));

        room.env.windows.answer = [&](QDialog &dialog) {
            room.server.sendToAll(protocol::textMessage({protocol::TextKind::Plain, "新文"}));
            // The text arrives while the question is open.
            QTest::qWait(300);
            return FakeWindows::yesOrOk(dialog);
        };
        const int loadedBefore =
            int(std::count_if(replies.cbegin(), replies.cend(), [](const QList<QVariant> &r) {
                return r.at(1).toString() == QLatin1String("1011");
            }));
        c.ui.cmdexit->click();
        room.env.windows.answer = FakeWindows::yesOrOk;
        QTRY_COMPARE_WITH_TIMEOUT(ends.count(), 1, 3000);
        const auto end = ends.last().at(1).value<protocol::Report>();
        QCOMPARE(end.txtCount, 5);
        QCOMPARE(end.inputCount, 2);
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("新文"), 3000);
        QVERIFY(!c.ui.txt2->isReadOnly());
        QVERIFY(c.state.IsWorking);
        QTRY_VERIFY_WITH_TIMEOUT(std::count_if(replies.cbegin(), replies.cend(),
                                               [](const QList<QVariant> &r) {
                                                   return r.at(1).toString() ==
                                                          QLatin1String("1011");
                                               }) == loadedBefore + 1,
                                 3000);
    }

    void lostConnectionDuringATestIsRestored()
    {
        Classroom room({QStringLiteral("text 断线重连")});
        QSignalSpy settings(&room.server, &TestServer::settingsSent);
        Client &c = room.client();
        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        c.session->cmdread_Click();
        QTRY_VERIFY_WITH_TIMEOUT(c.state.IsWorking, 5000);
        QVERIFY(c.ui.cmdexit->isEnabled());

        const quint16 port = room.server.port();
        room.server.close();
        QTRY_VERIFY_WITH_TIMEOUT(c.ui.cmdlianjie->isEnabled(), 5000);
        // The test goes on meanwhile: it can still be ended, its report would wait.
        QVERIFY(c.ui.cmdexit->isEnabled());
        QTest::qWait(1200); // a few reconnection attempts against a closed port
        QVERIFY(room.server.listen(port).ok());
        QTRY_COMPARE_WITH_TIMEOUT(room.socket.state(), int(Socket::Connected), 5000);
        QVERIFY(c.ui.cmdexit->isEnabled());
        QVERIFY(!c.ui.cmdlianjie->isEnabled());
    }

    void joinedMessagesAreHandledAsOne()
    {
        Classroom room({QStringLiteral("roots on"), QStringLiteral("hints on"),
                        QStringLiteral("ime 五笔"), QStringLiteral("time-limit 7"),
                        QStringLiteral("hint-delay 2")});
        room.server.settings().writeMode = WriteMode::Join;
        room.server.settings().replyTimeoutMs = 300;
        QSignalSpy settings(&room.server, &TestServer::settingsSent);
        Client &c = room.client();
        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settings.count(), 1, 5000);
        QTest::qWait(300);
        // One read held all three settings: only the first code counted, the rest became the
        // environment message's forbidden program list.
        QVERIFY(c.state.Zigen);
        QCOMPARE(c.state.MaxTime, 0);
        QCOMPARE(c.ui.cmbshurufa->count(), 0);
        QVERIFY(c.state.strForbidList.startsWith(QStringLiteral("0009")));
    }
};

CLIENT_TEST(EndToEndTest)
#include "tst_endtoend.moc"
