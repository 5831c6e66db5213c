// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"
#include "tests/typing/TypingFixture.h"

namespace {

const QString kReport65 =
    QStringLiteral("1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|的是");

// A test in progress: 300 characters, 120 typed, 118 right, 3 Backspaces, 64 seconds.
void setCounters(TypingFixture &f)
{
    f.c().imes->FillShurufa(QStringLiteral("不限制"));
    // A running test of its own, whose counters are then set as the test stands.
    f.c().control->handleMessage(QStringLiteral("0010") + QString(300, u'字'));
    f.commit(QStringLiteral("字"));
    f.c().ui.Timer3->stop();
    f.env.fakeSocket.sent.clear();
    ClientState &s = f.s();
    s.TotalTime = 64;
    s.NumTxtCount = 300;
    s.NumTxtInputCount = 120;
    s.NumTxtRight = 118;
    s.NumKeyBackup = 3;
    s.errChar = QStringLiteral("的是");
}

QStringList labels(Client &c)
{
    return {c.ui.Lmsg2->text(), c.ui.Lmsg->text(), c.ui.Ltime->text(), c.ui.Ltime2->text(),
            c.ui.Ltime3->text()};
}

} // namespace

class TestClockTest : public QObject
{
    Q_OBJECT
private slots:
    void startUpDisplay()
    {
        TypingFixture f{QString(), false};
        QCOMPARE(labels(f.c()), (QStringList{"0", "0/0(正确100%)", "不限时", "0分0秒", "不限"}));
        // Without a text the progress bar is left as it is.
        f.c().ui.pb->setValue(5);
        f.c().display->refresh(f.c().session->effectiveLimit());
        QCOMPARE(f.c().ui.pb->value(), 5);
        // With a text loaded and no time yet the progress text still reads 0/0.
        f.s().NumTxtCount = 300;
        f.c().display->refresh(f.c().session->effectiveLimit());
        QCOMPARE(f.c().ui.Lmsg->text(), QStringLiteral("0/0(正确100%)"));
        QCOMPARE(f.c().ui.pb->maximum(), 300);
        QCOMPARE(f.c().ui.pb->value(), 0);
    }

    void tickShowsAndReports()
    {
        TypingFixture f{QString(), false};
        setCounters(f);
        f.c().session->Timer3_Timer();
        QCOMPARE(f.s().TotalTime, 65);
        QCOMPARE(labels(f.c()),
                 (QStringList{"108.9", "120/300(正确98%)", "不限时", "1分5秒", "不限"}));
        QCOMPARE(f.c().ui.pb->maximum(), 300);
        QCOMPARE(f.c().ui.pb->value(), 120);
        QCOMPARE(f.env.fakeSocket.sent, QStringList{kReport65});

        // Nothing typed yet: the accuracy is written as 0.
        f.s().NumTxtInputCount = 0;
        f.s().NumTxtRight = 0;
        f.s().errChar.clear();
        f.c().session->Timer3_Timer();
        QCOMPARE(f.c().ui.Lmsg->text(), QStringLiteral("0/300(正确0%)"));
        QCOMPARE(f.c().ui.Lmsg2->text(), QStringLiteral("0.0"));
        // A report without errors ends with the separator.
        QCOMPARE(f.env.fakeSocket.sent.last(),
                 QStringLiteral("1099|31|李明|三班|66|300|0|0|3|英语（美国）|PC07|"));
    }

    void timeLabels_data()
    {
        QTest::addColumn<int>("maxTime");
        QTest::addColumn<int>("totalTime");
        QTest::addColumn<QStringList>("times");
        QTest::newRow("no limit") << 0 << 124 << QStringList{"不限时", "2分5秒", "不限"};
        QTest::newRow("negative limit") << -3 << 124 << QStringList{"不限时", "2分5秒", "不限"};
        QTest::newRow("10 minutes") << 10 << 124 << QStringList{"限时10分钟", "2分5秒", "7分55秒"};
        QTest::newRow("past the limit") << 1 << 64 << QStringList{"限时1分钟", "1分5秒", "0分-5秒"};
    }
    void timeLabels()
    {
        QFETCH(int, maxTime);
        QFETCH(int, totalTime);
        QFETCH(QStringList, times);
        TypingFixture f{QString(), false};
        setCounters(f);
        f.s().MaxTime = maxTime;
        f.s().TotalTime = totalTime;
        f.c().session->Timer3_Timer();
        QCOMPARE(labels(f.c()).mid(2), times);
        // A limit already passed never ends the test.
        QVERIFY(f.s().IsWorking);
        QCOMPARE(int(f.results.size()), 0);
    }

    void progressBarRefusesAnOvershoot()
    {
        TypingFixture f{QString(), false};
        setCounters(f);
        f.c().session->Timer3_Timer();
        f.s().NumTxtInputCount = 301;
        f.c().session->Timer3_Timer();
        QCOMPARE(f.c().ui.pb->value(), 120);
        QCOMPARE(f.c().ui.Lmsg->text(), QStringLiteral("301/300(正确39%)"));
    }

    void timeLimitEndsTheTestOnItsTick()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中闻"));
        f.s().MaxTime = 1;
        f.s().TotalTime = 58;
        f.c().session->Timer3_Timer();
        QVERIFY(f.s().IsWorking);
        QVERIFY(f.c().ui.Timer3->isActive());
        f.env.fakeSocket.sent.clear();

        f.c().session->Timer3_Timer();
        QCOMPARE(int(f.results.size()), 1);
        QVERIFY(f.lastSentence().startsWith(QStringLiteral("已用时：1分0秒，")));
        QVERIFY(!f.c().ui.Timer3->isActive());
        QVERIFY(!f.s().IsWorking);
        QVERIFY(f.txt2()->isReadOnly());
        QCOMPARE(f.c().ui.Ltime3->text(), QStringLiteral("0分0秒"));
        // The final report, sent after the window has closed, carries the full time.
        QCOMPARE(f.env.fakeSocket.sent,
                 QStringList{QStringLiteral("1099|31|李明|三班|60|4|2|1|0||PC07|文")});
    }

    void practiceHasNoLimitAndNoReports()
    {
        TypingFixture f{QString(), false};
        setCounters(f);
        f.c().session->rst(QStringLiteral("错字"));
        f.s().MaxTime = 1;
        f.s().TotalTime = 59;
        f.c().session->Timer3_Timer();
        QCOMPARE(f.s().TotalTime, 60);
        QVERIFY(f.s().IsWorking);
        QCOMPARE(int(f.results.size()), 0);
        QCOMPARE(f.c().ui.Ltime2->text(), QStringLiteral("1分0秒"));
        QCOMPARE(f.c().ui.Ltime->text(), QStringLiteral("不限时"));
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        // The teacher's limit is the next test's again.
        f.c().control->handleMessage(QStringLiteral("0010中文"));
        QCOMPARE(f.c().session->effectiveLimit(), 1);
    }

    void elapsedTimeStopsAtItsTop()
    {
        TypingFixture f{QString(), false};
        setCounters(f);
        f.s().TotalTime = ClientState::kMaxCount - 1;
        f.c().session->Timer3_Timer();
        f.c().session->Timer3_Timer();
        QCOMPARE(f.s().TotalTime, ClientState::kMaxCount);
        QCOMPARE(f.c().ui.Ltime2->text(), QStringLiteral("546分7秒"));
        QCOMPARE(f.env.fakeSocket.sent.size(), 2);
        QVERIFY(f.env.fakeSocket.sent.last().contains(QStringLiteral("|32767|300|")));
    }

    void aReportThatCannotBeSentIsDropped()
    {
        TypingFixture f{QString(), false};
        setCounters(f);
        f.env.fakeSocket.setState(Socket::Closed);
        f.c().session->Timer3_Timer();
        f.env.fakeSocket.setState(Socket::Connected);
        f.c().session->Timer3_Timer();
        QCOMPARE(f.env.fakeSocket.sent.size(), 1);
        QVERIFY(f.env.fakeSocket.sent.first().contains(QStringLiteral("|66|")));
    }

    // The hint countdown runs on the clock's ticks: captions from delay-1 down to 0, the hint
    // on the tick after. The server's 5 gives 6, its -1 gives 0: no caption, hint at once.
    void tickAdvancesTheHintCountdown_data()
    {
        QTest::addColumn<int>("delay");
        QTest::newRow("start-up 8") << 8;
        QTest::newRow("server 5") << 6;
        QTest::newRow("server -1") << 0;
    }
    void tickAdvancesTheHintCountdown()
    {
        QFETCH(int, delay);
        TypingFixture f(QStringLiteral("中文录入"));
        f.s().NumHintDelay = delay;
        f.c().ui.cts->setEnabled(true);
        f.c().ui.cts->setChecked(true);
        f.commit(QStringLiteral("中"));
        QVERIFY(f.s().IsHintPending);
        for (int tick = 1; tick <= delay; ++tick) {
            f.c().session->Timer3_Timer();
            QCOMPARE(f.c().ui.cts->text(),
                     QStringLiteral("显示编码提示(%1秒后)").arg(delay - tick));
            QVERIFY(!f.c().ui.LBM->text().contains(QStringLiteral("五笔编码：")));
            QVERIFY(f.s().IsHintPending);
        }
        f.c().session->Timer3_Timer();
        QVERIFY(f.c().ui.LBM->text().startsWith(QStringLiteral("五笔编码：")));
        QVERIFY(!f.s().IsHintPending);
        QCOMPARE(f.c().ui.cts->text(), QStringLiteral("显示编码提示"));
        // A shown hint stays through later ticks; the next change clears it at once.
        f.c().session->Timer3_Timer();
        QVERIFY(f.c().ui.LBM->text().startsWith(QStringLiteral("五笔编码：")));
        f.commit(QStringLiteral("文"));
        QVERIFY(f.c().ui.LBM->text().isEmpty());
    }

    void completionInsideATickYield()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 9;
        // The last character arrives while the tick lets waiting events run.
        f.postCommit(QStringLiteral("文"));
        f.c().session->Timer3_Timer();
        QCOMPARE(f.txt2()->text(), QStringLiteral("中文"));
        // The tick counted 10, the completion's own tick 11; one result, one final report.
        QCOMPARE(f.s().TotalTime, 11);
        QCOMPARE(int(f.results.size()), 1);
        QVERIFY(f.lastSentence().startsWith(QStringLiteral("已用时：0分11秒，")));
        QCOMPARE(f.progressReports(), QStringList{f.report(11, 2, 2, 2, 0, QString())});
        QVERIFY(!f.s().IsWorking);
        QVERIFY(!f.c().ui.Timer3->isActive());
        QVERIFY(f.txt2()->isReadOnly());
        QVERIFY(!f.c().modal->isOpen());
        QCOMPARE(f.c().ui.Ltime2->text(), QStringLiteral("0分11秒"));
    }

    void completionAtTheLimitShowsOneResult_data()
    {
        QTest::addColumn<bool>("insideATick");
        QTest::newRow("keystroke") << false;
        QTest::newRow("keystroke inside a tick") << true;
    }
    void completionAtTheLimitShowsOneResult()
    {
        QFETCH(bool, insideATick);
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中"));
        f.s().MaxTime = 1;
        // The completion's tick brings the time to the limit.
        f.s().TotalTime = insideATick ? 58 : 59;
        if (insideATick) {
            f.postCommit(QStringLiteral("文"));
            f.c().session->Timer3_Timer();
        } else {
            f.commit(QStringLiteral("文"));
        }
        QCOMPARE(f.s().TotalTime, 60);
        QCOMPARE(int(f.results.size()), 1);
        QCOMPARE(f.progressReports(), QStringList{f.report(60, 2, 2, 2, 0, QString())});
        QVERIFY(!f.s().IsWorking);
        QVERIFY(!f.c().ui.Timer3->isActive());
    }

    // The completion's own second runs without letting events in: a change that was waiting
    // comes after the end, on a locked box, and neither ends the test again nor is reported.
    void typingDuringTheCompletionTickDoesNotEndTwice()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 3;
        f.postCommit(QStringLiteral("多"));
        f.commit(QStringLiteral("文"));
        QCoreApplication::processEvents();
        QCOMPARE(f.txt2()->text(), QStringLiteral("中文"));
        QCOMPARE(int(f.results.size()), 1);
        QCOMPARE(f.s().TotalTime, 4);
        QCOMPARE(f.progressReports(), QStringList{f.report(4, 2, 2, 2, 0, QString())});
        QVERIFY(!f.s().IsWorking);
        QVERIFY(f.txt2()->isReadOnly());
    }

    void endButtonInsideATickYield()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 20;
        f.env.dialogs.answerMessage = [](const FakeDialogs::Shown &) { return Dialogs::Yes; };
        QMetaObject::invokeMethod(
            f.c().ui.cmdexit, [&f] { f.c().session->cmdexit_Click(); }, Qt::QueuedConnection);
        f.c().session->Timer3_Timer();
        // Nothing is reported after the end report.
        QCOMPARE(f.env.fakeSocket.sent,
                 QStringList{QStringLiteral("1098|31|李明|三班|21|4|1|1|0")});
        QVERIFY(!f.s().IsWorking);
    }

    void newTextInsideATickYield()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 20;
        QMetaObject::invokeMethod(
            &f.env.fakeSocket, [&f] { f.env.fakeSocket.arrive(QStringLiteral("0010第二篇")); },
            Qt::QueuedConnection);
        f.c().session->Timer3_Timer();
        // The new text stopped the clock: its test starts at the first keystroke.
        QCOMPARE(f.env.fakeSocket.sent, QStringList{QStringLiteral("1011")});
        QCOMPARE(f.s().TotalTime, 0);
        QVERIFY(!f.c().ui.Timer3->isActive());
    }

    // The end button handled inside a tick's yield unticks the hint box; the tick stops early
    // but its hint step still puts the caption at rest and clears the hint, as the last step of
    // a whole tick would. No countdown caption is left standing after the end.
    void endInsideATickYieldLeavesTheHintAtRest()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.c().ui.cts->setEnabled(true);
        f.c().ui.cts->setChecked(true);
        f.commit(QStringLiteral("中"));
        f.c().session->Timer3_Timer();
        QCOMPARE(f.c().ui.cts->text(), QStringLiteral("显示编码提示(7秒后)"));

        f.env.dialogs.answerMessage = [](const FakeDialogs::Shown &) { return Dialogs::Yes; };
        QMetaObject::invokeMethod(
            f.c().ui.cmdexit, [&f] { f.c().session->cmdexit_Click(); }, Qt::QueuedConnection);
        f.c().session->Timer3_Timer();
        QVERIFY(!f.s().IsWorking);
        QVERIFY(!f.c().ui.cts->isChecked());
        QCOMPARE(f.c().ui.cts->text(), QStringLiteral("显示编码提示"));
        QVERIFY(!f.s().IsHintPending);
        QCOMPARE(f.c().ui.LBM->text(), QString());
    }
};

CLIENT_TEST(TestClockTest)
#include "tst_testclock.moc"
