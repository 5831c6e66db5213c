// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "net/TestControl.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

struct Fixture
{
    Fixture()
    {
        env.createLogic();
        env.fakeSocket.setState(7);
        env.client().ui.Timer4->stop();
    }
    Client &c() { return env.client(); }
    void handle(const QString &message) { c().control->handleMessage(message); }
    LogicEnv env;
};

} // namespace

class TestControlTest : public QObject
{
    Q_OBJECT
private slots:
    void newTextLoadsAndReplies()
    {
        Fixture f;
        Client &c = f.c();
        c.ui.cmdread->setEnabled(true);
        c.ui.Timer3->start();
        f.handle(QStringLiteral("0010中文录入"));
        QCOMPARE(c.ui.txt1->text(), QStringLiteral("中文录入"));
        QCOMPARE(c.ui.txt1->charColor(0), c.state.ColorNow);
        QVERIFY(c.ui.txt1->charEmphasis(0));
        QCOMPARE(c.ui.txt1->charColor(1), c.state.ColorNoinput);
        QVERIFY(!c.ui.txt1->charEmphasis(3));
        QVERIFY(!c.ui.Timer3->isActive());
        QVERIFY(!c.ui.cmdread->isEnabled());
        QVERIFY(c.ui.cmdexit->isEnabled());
        QCOMPARE(c.state.NumTxtCount, 4);
        QVERIFY(c.state.IsWorking);
        QCOMPARE(c.state.IsCzText, 0);
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1011")});
    }

    void wordTextAndEmptyText()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010<cz>中国 人民"));
        QCOMPARE(c.ui.txt1->text(), QStringLiteral("中国 人民"));
        QCOMPARE(c.state.IsCzText, 1);

        c.ui.cmdread->setEnabled(true);
        c.ui.cmdexit->setEnabled(true);
        f.handle(QStringLiteral("0010"));
        QCOMPARE(c.ui.txt1->text(), QString());
        QVERIFY(!c.ui.cmdexit->isEnabled());
        QVERIFY(c.ui.cmdread->isEnabled());
        QCOMPARE(f.env.fakeSocket.sent.last(), QStringLiteral("1011"));
        QCOMPARE(c.state.IsCzText, 0);
    }

    void newTextDuringATestResetsCounters()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010第一篇"));
        c.state.cuowu = c.state.errChar = QStringLiteral("第");
        c.state.NumKeyBackup = 3;
        c.state.TotalTime = 20;
        c.ui.txt2->setText(QStringLiteral("弟"));
        f.handle(QStringLiteral("0010第二篇文字"));
        QCOMPARE(c.ui.txt2->text(), QString());
        QCOMPARE(c.state.NumTxtCount, 5);
        QCOMPARE(c.state.NumKeyBackup, 0);
        QCOMPARE(c.state.TotalTime, 0);
        // A new text is a new test with mistyped characters of its own.
        QVERIFY(c.state.cuowu.isEmpty() && c.state.errChar.isEmpty());
        QCOMPARE(c.state.NumNextStart, 0);
        QVERIFY(!c.ui.Timer3->isActive());
    }

    void rootPracticeTextLeavesTheTestAlone()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010原文"));
        f.env.fakeSocket.sent.clear();
        f.handle(QStringLiteral("0010<zg>30|10"));
        QCOMPARE(c.ui.txt1->text(), QStringLiteral("原文"));
        QCOMPARE(c.state.NumTxtCount, 2);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
    }

    void overlongTextIsRefusedBeforeAnythingChanges()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010原文"));
        f.env.fakeSocket.sent.clear();
        f.handle(QStringLiteral("0010") + QString(32768, u'字'));
        QCOMPARE(c.ui.txt1->text(), QStringLiteral("原文"));
        QCOMPARE(c.state.NumTxtCount, 2);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QCOMPARE(f.env.dialogs.lastBox().icon, int(Dialogs::Critical));
        QCOMPARE(f.env.dialogs.lastBox().title, QStringLiteral("澄岭文字录入测试系统客户端"));

        f.handle(QStringLiteral("0010") + QString(32767, u'字'));
        QCOMPARE(c.state.NumTxtCount, 32767);
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1011")});
    }

    void duplicateLogin_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("warns");
        QTest::newRow("another login") << "00111" << true;
        QTest::newRow("no other login") << "00110" << false;
        QTest::newRow("flag missing") << "0011" << true;
        QTest::newRow("only char 5 counts") << "00110x" << false;
    }

    void duplicateLogin()
    {
        QFETCH(QString, message);
        QFETCH(bool, warns);
        Fixture f;
        bool sentBeforeBoxClosed = false;
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &) {
            sentBeforeBoxClosed = !f.env.fakeSocket.sent.isEmpty();
            return Dialogs::Ok;
        };
        f.handle(message);
        QCOMPARE(f.env.dialogs.count(), warns ? 1 : 0);
        if (warns) {
            QCOMPARE(f.env.dialogs.lastBox().title, QStringLiteral("注意"));
            QCOMPARE(f.env.dialogs.lastBox().text,
                     QStringLiteral("注意：当前测试不允许重复登录，测试中请不要退出。"));
            QVERIFY(!sentBeforeBoxClosed);
        }
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1100")});
    }

    void environmentFlags_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("roots");
        QTest::addColumn<bool>("hints");
        QTest::newRow("both off") << "010000" << false << false;
        QTest::newRow("roots on, hints off") << "01001" << true << false;
        QTest::newRow("both on") << "010011" << true << true;
        QTest::newRow("code only") << "0100" << true << false;
        QTest::newRow("any other character allows") << "0100xy" << true << true;
    }

    void environmentFlags()
    {
        QFETCH(QString, message);
        QFETCH(bool, roots);
        QFETCH(bool, hints);
        Fixture f;
        Client &c = f.c();
        c.ui.cts->setEnabled(true);
        c.ui.cts->setChecked(true);
        c.ui.Pmid->hide();
        c.ui.Pmid2->show();
        f.handle(message);
        QCOMPARE(c.ui.btnzigen->isEnabled(), roots);
        QCOMPARE(c.state.Zigen, roots);
        QCOMPARE(c.ui.cts->isEnabled(), hints);
        QCOMPARE(c.ui.cts->isChecked(), hints); // a tick is left alone when hints are allowed
        // Withholding the roots brings the text boxes back; allowing them changes no panel.
        QCOMPARE(c.ui.Pmid->isVisible(), !roots);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
    }

    void forbiddenProgramsWarnOncePerName()
    {
        Fixture f;
        f.env.windowTitles.list = {QStringLiteral("无标题 - 记事本"), QStringLiteral("记事本"),
                                   QStringLiteral("计算器")};
        f.handle(QStringLiteral("010010|记事本|| |画图"));
        QCOMPARE(f.env.dialogs.count(), 1);
        QCOMPARE(f.env.dialogs.lastBox().text,
                 QStringLiteral("【记事本】不允许在检测期间运行，请先关闭再继续！"));
        // The same list again scans again.
        f.handle(QStringLiteral("010010|记事本|| |画图"));
        QCOMPARE(f.env.dialogs.count(), 2);
        // Six characters: flags only, no scan.
        f.handle(QStringLiteral("010010"));
        QCOMPARE(f.env.dialogs.count(), 2);
    }

    void inputMethodRule_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("items");
        const QString en = QStringLiteral("英语（美国）");
        QTest::newRow("wubi") << "五笔" << QStringList{en, "中文 - 五笔86", "五笔拼音"};
        QTest::newRow("unrestricted")
            << "  不限制 " << QStringList{en, "中文 - 五笔86", "拼音", "五笔拼音"};
        QTest::newRow("blank counts") << " 五笔" << QStringList{en, "中文 - 五笔86"};
        QTest::newRow("nothing matches") << "仓颉" << QStringList{en};
    }

    void inputMethodRule()
    {
        QFETCH(QString, rule);
        QFETCH(QStringList, items);
        Fixture f;
        f.env.inputMethods.setDescriptions(
            {QStringLiteral("中文 - 五笔86"), QStringLiteral("拼音"), QStringLiteral("五笔拼音")});
        f.handle(QStringLiteral("0009") + rule);
        QStringList shown;
        for (int i = 0; i < f.c().ui.cmbshurufa->count(); ++i)
            shown << f.c().ui.cmbshurufa->itemText(i);
        QCOMPARE(shown, items);
        QCOMPARE(f.c().ui.cmbshurufa->currentIndex(), 0);
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1008")});
    }

    void timing_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("maxTime");
        QTest::addColumn<int>("hintDelay");
        QTest::addColumn<bool>("replies");
        QTest::newRow("10|5") << "10|5" << 10 << 6 << true;
        QTest::newRow("not numeric") << "abc|x" << 0 << 8 << true;
        QTest::newRow("0|3") << "0|3" << 0 << 4 << true;
        QTest::newRow("-1 delay") << "5|-1" << 5 << 0 << true;
        QTest::newRow("halves to even") << "2.5|3.5" << 2 << 5 << true;
        QTest::newRow("extra fields") << "3|2|9" << 3 << 3 << true;
        // Without "|" the limit is set, then the handler stops: delay kept, no reply.
        QTest::newRow("no separator") << "7" << 7 << 99 << false;
        QTest::newRow("limit overflows") << "40000|5" << 123 << 99 << false;
    }

    void timing()
    {
        QFETCH(QString, body);
        QFETCH(int, maxTime);
        QFETCH(int, hintDelay);
        QFETCH(bool, replies);
        Fixture f;
        f.c().state.MaxTime = 123;
        f.c().state.NumHintDelay = 99;
        f.handle(QStringLiteral("0008") + body);
        QCOMPARE(f.c().state.MaxTime, maxTime);
        QCOMPARE(f.c().state.NumHintDelay, hintDelay);
        QCOMPARE(f.env.fakeSocket.sent.isEmpty(), !replies);
        QCOMPARE(f.env.dialogs.count(), replies ? 0 : 1);
    }

    // A reply the open connection refuses shows the handler's error box; a reply for a
    // connection that has closed is dropped without one. The setting applies either way.
    void failedReplyShowsErrorBox()
    {
        Fixture f;
        f.env.fakeSocket.failSends = true;
        f.handle(QStringLiteral("000810|5"));
        QCOMPARE(f.c().state.MaxTime, 10);
        QCOMPARE(f.env.dialogs.lastBox().icon, int(Dialogs::Critical));
        QCOMPARE(f.env.dialogs.lastBox().text,
                 QStringLiteral("无法向服务器发送回复：与服务器的连接没有建立。"));

        f.env.fakeSocket.failSends = false;
        f.env.fakeSocket.raiseClosed();
        f.handle(QStringLiteral("000820|5"));
        QCOMPARE(f.c().state.MaxTime, 20);
        QCOMPARE(f.env.dialogs.count(), 1);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
    }

    void otherMessagesAreIgnored()
    {
        Fixture f;
        for (const QString &m : {QStringLiteral("001"), QStringLiteral(""),
                                 QStringLiteral("9999abc"), QStringLiteral("1011")})
            f.handle(m);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QCOMPARE(f.env.dialogs.count(), 0);
    }

    // The start button leaves a practice of mistyped characters and asks for a text; the clock
    // waits for the text, so nothing is timed or reported before it has come.
    void startButton()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010原文"));
        c.ui.txt2->setText(QStringLiteral("原"));
        c.session->rst(QString());
        QVERIFY(c.state.IsReStart);
        c.state.cuowu = c.state.errChar = QStringLiteral("错");
        c.state.NumNextStart = 5;
        c.ui.Pmid->hide();
        c.ui.Pmid2->show();
        f.env.fakeSocket.sent.clear();
        QVERIFY(c.ui.cmdread->isEnabled());
        c.ui.cmdread->click();
        QVERIFY(!c.state.IsReStart);
        QVERIFY(!c.state.IsWorking);
        QCOMPARE(c.session->phase(), TestSession::Phase::NoTest);
        QVERIFY(c.state.cuowu.isEmpty() && c.state.errChar.isEmpty());
        QCOMPARE(c.state.NumNextStart, 0);
        QVERIFY(!c.ui.txt2->isReadOnly());
        QVERIFY(c.ui.Pmid->isVisible());
        QVERIFY(!c.ui.Pmid2->isVisible());
        QVERIFY(!c.ui.Timer3->isActive());
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1009")});
        c.session->Timer3_Timer();
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1009")});
    }

    void startButtonWithoutConnection()
    {
        Fixture f;
        f.env.fakeSocket.setState(0);
        f.c().session->cmdread_Click();
        QVERIFY(!f.c().ui.Timer3->isActive());
        QCOMPARE(f.env.dialogs.count(), 0);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QVERIFY(!f.c().ui.cmdread->isEnabled());
    }

    void endButtonAnsweredNo()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010原文"));
        c.ui.txt2->setText(QStringLiteral("原"));
        QVERIFY(c.ui.Timer3->isActive());
        f.env.fakeSocket.sent.clear();
        f.env.dialogs.answerMessage = [](const FakeDialogs::Shown &) { return Dialogs::No; };
        c.session->cmdexit_Click();
        QCOMPARE(f.env.dialogs.lastBox().text, QStringLiteral("正在进行测试，确实要结束吗？"));
        QVERIFY(c.state.IsWorking);
        QVERIFY(c.ui.Timer3->isActive());
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        c.ui.Timer3->stop();
    }

    void endButtonSendsEndReport()
    {
        Fixture f;
        Client &c = f.c();
        c.state.strXuehao = QStringLiteral("31");
        c.state.strUserName = QStringLiteral("李明");
        c.state.strBanji = QStringLiteral("三班");
        f.handle(QStringLiteral("01001") + QStringLiteral("1"));
        f.handle(QStringLiteral("0010原文"));
        c.ui.txt2->setText(QStringLiteral("原"));
        c.state.TotalTime = 65;
        c.state.NumTxtCount = 300;
        c.state.NumTxtInputCount = 120;
        c.state.NumTxtRight = 118;
        c.state.NumKeyBackup = 3;
        QVERIFY(c.ui.cts->isEnabled());
        c.ui.cts->setChecked(true);
        f.env.fakeSocket.sent.clear();
        f.env.dialogs.answerMessage = [](const FakeDialogs::Shown &) { return Dialogs::Yes; };
        c.session->cmdexit_Click();
        QCOMPARE(f.env.fakeSocket.sent,
                 QStringList{QStringLiteral("1098|31|李明|三班|65|300|120|118|3")});
        QVERIFY(!c.state.IsWorking);
        QVERIFY(c.ui.txt2->isReadOnly());
        QVERIFY(!c.ui.Timer3->isActive());
        QVERIFY(c.ui.cmdread->isEnabled());
        QVERIFY(!c.ui.cmdexit->isEnabled());
        QVERIFY(!c.ui.cts->isEnabled() && !c.ui.cts->isChecked());
        // Once ended, the end button has nothing more to end or report.
        c.session->cmdexit_Click();
        QCOMPARE(f.env.fakeSocket.sent.size(), 1);
        QCOMPARE(f.env.dialogs.count(), 1);
    }

    void endButtonDuringPracticeSendsNothing()
    {
        Fixture f;
        Client &c = f.c();
        c.session->rst(QStringLiteral("错字"));
        QVERIFY(c.state.IsWorking && c.state.IsReStart);
        f.env.dialogs.answerMessage = [](const FakeDialogs::Shown &) { return Dialogs::Yes; };
        c.session->cmdexit_Click();
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QVERIFY(!c.state.IsWorking);
        QVERIFY(!c.ui.Timer3->isActive());
        QCOMPARE(f.env.dialogs.count(), 1);
    }

    // The end button ends the test even while the connection is down; the end report waits
    // and goes out once when the connection is back, and the student is told so.
    void endButtonWithConnectionDownEndsLocallyAndTells()
    {
        Fixture f;
        Client &c = f.c();
        f.handle(QStringLiteral("0010原文"));
        c.ui.txt2->setText(QStringLiteral("原"));
        f.env.fakeSocket.raiseError();
        QVERIFY(c.ui.cmdexit->isEnabled());
        f.env.fakeSocket.sent.clear();
        f.env.dialogs.answerMessage = [](const FakeDialogs::Shown &box) {
            return box.buttons & Dialogs::Yes ? Dialogs::Yes : Dialogs::Ok;
        };
        c.session->cmdexit_Click();
        QVERIFY(!c.state.IsWorking);
        QVERIFY(!c.ui.Timer3->isActive());
        QVERIFY(!c.ui.cmdexit->isEnabled());
        QCOMPARE(f.env.dialogs.count(), 2);
        QVERIFY(f.env.dialogs.lastBox().text.contains(QStringLiteral("重新连接")));
        // No start without a server: the start button waits for the connection.
        QVERIFY(!c.ui.cmdread->isEnabled());
        c.ui.cmdread->click();
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        f.env.fakeSocket.raiseConnected();
        QVERIFY(c.ui.cmdread->isEnabled());
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1098||||0|2|1|1|0")});
    }

    // A box of one message (the duplicate-login warning) is open while more messages arrive:
    // each is handled on its own after the box, in order, and a teacher's message shows at once.
    void messagesDuringABoxAreHandledAfterItInOrder()
    {
        Fixture f;
        Client &c = f.c();
        f.env.inputMethods.setDescriptions({QStringLiteral("拼音")});
        c.state.MaxTime = 0;
        QSignalSpy teacher(&f.env.logic(), &ClientLogic::teacherMessage);
        int teacherDuringBox = -1;
        QStringList sentDuringBox;
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &) {
            f.env.fakeSocket.arrive(QStringLiteral("0009不限制"));
            f.env.fakeSocket.arrive(QStringLiteral("000810|5"));
            f.env.fakeSocket.arrive(QStringLiteral("0099请保存"));
            teacherDuringBox = int(teacher.count());
            sentDuringBox = f.env.fakeSocket.sent;
            return Dialogs::Ok;
        };
        f.env.fakeSocket.arrive(QStringLiteral("00111"));
        QCOMPARE(teacherDuringBox, 1);
        QVERIFY(sentDuringBox.isEmpty());
        QCOMPARE(f.env.fakeSocket.sent, (QStringList{"1100", "1008", "1010"}));
        QCOMPARE(c.state.MaxTime, 10);
        QCOMPARE(c.state.NumHintDelay, 6);
        QCOMPARE(c.ui.cmbshurufa->count(), 2);
        QCOMPARE(teacher.count(), 1);
        QCOMPARE(teacher.at(0).at(0).toString(), QStringLiteral("请保存"));
        // Afterwards messages are handled as they come again.
        f.env.fakeSocket.arrive(QStringLiteral("00085|0"));
        QCOMPARE(c.state.MaxTime, 5);
    }
};

CLIENT_TEST(TestControlTest)
#include "tst_testcontrol.moc"
