// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The test session's flows over whole sequences a class produces: a practice followed by a
// test, a time limit reached while a box is open, a new text while the end question is open,
// replies held behind a box, results kept for a lost connection.
#include "core/ModalTracker.h"
#include "practice/PracticeLauncher.h"
#include "practice/PracticeSession.h"
#include "tests/practice/PracticeFixture.h"
#include "tests/support/TestRegistry.h"
#include "tests/typing/TypingFixture.h"

#include <QSignalSpy>

namespace {

// A connected client with the sample root table beside it and a student's identity, no test.
struct Class : TypingFixture
{
    Class()
        : TypingFixture(QString(), false)
    {
        QFile table(env.dir.filePath(QStringLiteral("86zg.dat")));
        table.open(QIODevice::WriteOnly);
        table.write(gbkLines(sampleRows()));
        env.fakeSocket.raiseConnected();
        env.fakeSocket.sent.clear();
    }

    void arrive(const QString &message) { env.fakeSocket.arrive(message); }
    TestSession &session() { return *c().session; }
    PracticeSession *practice() { return c().practice->session(); }
    void tick() { session().Timer3_Timer(); }
    void answerEnd(Dialogs::Button button)
    {
        env.dialogs.answerMessage = [button](const FakeDialogs::Shown &box) {
            return box.buttons & Dialogs::Yes ? button : Dialogs::Ok;
        };
    }
    // Presses the key of every root still to type in the practice window.
    void typeAllRoots()
    {
        for (int presses = 0; presses < 200 && practice() && practice()->isRunning(); ++presses) {
            const QString root = practice()->strip().nextRoot();
            const QChar letter =
                root.isEmpty() ? QChar(u'Z') : practice()->table().keyOf(root.at(0))->at(0);
            practice()->RTinput_KeyUp(Qt::Key_A + (letter.toUpper().unicode() - u'A'));
        }
    }
    QStringList sentWith(const char *code) const
    {
        QStringList found;
        for (const QString &message : env.fakeSocket.sent) {
            if (message.startsWith(QLatin1String(code)))
                found << message;
        }
        return found;
    }
};

} // namespace

class TestSessionTest : public QObject
{
    Q_OBJECT
private slots:
    // The teacher's test after a root practice: the practice's window closes by itself, and
    // the test is a whole test: the clock starts with typing, the result shows, the final
    // report goes out. Closing the practice window afterwards asks nothing and changes nothing.
    void testAfterRootPractice()
    {
        Class f;
        QSignalSpy closeWanted(f.c().practice, &PracticeLauncher::windowCloseRequested);
        f.arrive(QStringLiteral("0010<zg>0/5"));
        QVERIFY(f.practice() && f.practice()->isRunning());
        QCOMPARE(f.session().phase(), TestSession::Phase::RootPractice);
        f.typeAllRoots(); // finishes the first practice...
        QCOMPARE(f.results.size(), 1);
        f.arrive(QStringLiteral("0010<zg>0/5")); // ...and a second one is left running
        f.arrive(QStringLiteral("0010abc"));
        QCOMPARE(closeWanted.count(), 1);
        QVERIFY(!f.practice()->isRunning());
        QVERIFY(!f.practice()->Form_QueryUnload()); // closes without a question
        QCOMPARE(f.env.dialogs.count(), 0);
        f.c().practice->Form_Unload();

        QCOMPARE(f.session().phase(), TestSession::Phase::TextLoaded);
        QVERIFY(f.s().IsWorking && !f.s().IsReStart);
        f.env.fakeSocket.sent.clear();
        f.commit(QStringLiteral("ab"));
        QVERIFY(f.c().ui.Timer3->isActive());
        f.tick();
        f.commit(QStringLiteral("c"));
        QCOMPARE(f.results.size(), 2);
        QVERIFY(f.lastSentence().startsWith(QStringLiteral("已用时：0分2秒，总字数：3个")));
        QCOMPARE(f.sentWith("1099").last(), f.report(2, 3, 3, 3, 0, QString()));
        QVERIFY(!f.s().IsWorking);
    }

    // The practice is timed by the test clock alone: at its limit one result window, whose
    // report carries exactly the limit, however often the practice window's timer ticks
    // meanwhile; then nothing more is reported.
    void practiceLimitEndsOnceWithTheFullTime()
    {
        Class f;
        f.arrive(QStringLiteral("00081|5"));
        f.arrive(QStringLiteral("0010<zg>0/30"));
        f.s().TotalTime = 59;
        f.duringResult = [&](const TestResult &) {
            for (int i = 0; i < 5; ++i) {
                f.practice()->Timer1_Timer();
                QTest::qWait(20);
            }
        };
        f.env.fakeSocket.sent.clear();
        f.tick();
        QCOMPARE(f.results.size(), 1);
        QVERIFY(f.results[0].msg.startsWith(QStringLiteral("已用时：1分0秒")));
        QVERIFY(f.results[0].cuowu.isEmpty());
        QVERIFY(!f.results[0].drillable);
        QCOMPARE(f.sentWith("1099").size(), 1);
        QVERIFY(f.sentWith("1099")[0].startsWith(QStringLiteral("1099|31|李明|三班|60|30|")));
        QCOMPARE(f.s().TotalTime, 60);
        f.practice()->Timer1_Timer();
        QCOMPARE(f.s().TotalTime, 60);
        QVERIFY(!f.c().ui.Timer3->isActive());
    }

    // A text that takes the practice's place starts at 0 seconds and stays there until the
    // student types, whatever the practice window does before it closes.
    void practiceAddsNothingToTheNextTest()
    {
        Class f;
        f.arrive(QStringLiteral("0010<zg>0/30"));
        f.tick();
        f.arrive(QStringLiteral("0010新的测试"));
        for (int i = 0; i < 3; ++i) {
            f.practice()->Timer1_Timer();
            f.practice()->RTinput_KeyUp(Qt::Key_G);
        }
        QCOMPARE(f.s().TotalTime, 0);
        QCOMPARE(f.s().NumTxtCount, 4);
        QCOMPARE(f.s().NumTxtInputCount, 0);
        QVERIFY(!f.c().ui.Timer3->isActive());
    }

    // Leaving a running practice ends it: one end report, the clock stopped, no more reports.
    // A practice that ended by itself stops the clock as well.
    void leavingOrEndingAPracticeStopsItsClock()
    {
        Class f;
        f.arrive(QStringLiteral("0010<zg>0/30"));
        f.tick();
        f.answerEnd(Dialogs::Yes);
        f.env.fakeSocket.sent.clear();
        QVERIFY(!f.practice()->Form_QueryUnload());
        QCOMPARE(f.env.dialogs.lastBox().text, QStringLiteral("正在进行测试，确实要退出吗？"));
        QCOMPARE(f.sentWith("1098"), QStringList{QStringLiteral("1098|31|李明|三班|1|30|0|0|0")});
        QVERIFY(!f.c().ui.Timer3->isActive());
        QVERIFY(!f.s().IsWorking);
        f.c().practice->Form_Unload();
        QVERIFY(f.c().ui.cmdread->isEnabled());
        QVERIFY(!f.c().ui.cmdexit->isEnabled());
        QVERIFY(f.results.isEmpty());

        f.arrive(QStringLiteral("0010<zg>0/3"));
        f.env.fakeSocket.sent.clear();
        f.tick();
        f.typeAllRoots();
        QCOMPARE(f.results.size(), 1);
        QCOMPARE(f.sentWith("1099").size(), 2); // the tick's and the final one
        QVERIFY(f.sentWith("1099").last().startsWith(QStringLiteral("1099|31|李明|三班|1|3|3|3|")));
        QVERIFY(!f.c().ui.Timer3->isActive());
        QVERIFY(!f.s().IsWorking);
    }

    // A text held behind a box is handled after it, on the test as it stands then: a time
    // limit reached while the box was open does not leave the new text locked.
    void heldTextAfterATimeLimitIsTypeable()
    {
        Class f;
        f.arrive(QStringLiteral("00081|5"));
        f.arrive(QStringLiteral("0010第一篇"));
        f.commit(QStringLiteral("第"));
        f.s().TotalTime = 59;
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &) {
            f.arrive(QStringLiteral("0010第二篇"));
            f.tick(); // the limit, and its result window, inside the warning's loop
            return Dialogs::Ok;
        };
        f.arrive(QStringLiteral("00111"));
        f.env.dialogs.answerMessage = nullptr;
        QCOMPARE(f.results.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(f.txt1()->text(), QStringLiteral("第二篇"));
        QVERIFY(!f.txt2()->isReadOnly());
        QCOMPARE(f.session().phase(), TestSession::Phase::TextLoaded);
        f.commit(QStringLiteral("第"));
        QCOMPARE(f.s().NumTxtInputCount, 1);
    }

    // A text held behind the result window loads the teacher's test even when the student took
    // the practice link: that test reports.
    void heldTextAfterThePracticeLinkReports()
    {
        Class f;
        f.arrive(QStringLiteral("00081|5"));
        f.arrive(QStringLiteral("0010第一篇"));
        f.commit(QStringLiteral("弟"));
        f.s().TotalTime = 59;
        f.duringResult = [&](const TestResult &result) {
            f.arrive(QStringLiteral("0010第二篇"));
            QVERIFY(f.session().startDrill(result.test, result.cuowu));
        };
        f.tick();
        f.duringResult = nullptr;
        QCoreApplication::processEvents();
        QCOMPARE(f.txt1()->text(), QStringLiteral("第二篇"));
        QVERIFY(!f.s().IsReStart);
        f.commit(QStringLiteral("第"));
        f.env.fakeSocket.sent.clear();
        f.tick();
        QCOMPARE(f.sentWith("1099"), QStringList{f.report(1, 3, 1, 1, 0, QString())});
    }

    // A new text during the end question waits for the answer: Yes ends the old test with its
    // own figures, then the new text loads.
    void newTextDuringTheEndQuestion()
    {
        Class f;
        f.arrive(QStringLiteral("0010旧的测试"));
        f.commit(QStringLiteral("旧的"));
        f.tick();
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &) {
            f.arrive(QStringLiteral("0010新文"));
            return Dialogs::Yes;
        };
        f.env.fakeSocket.sent.clear();
        f.c().ui.cmdexit->click();
        f.env.dialogs.answerMessage = nullptr;
        QCOMPARE(f.sentWith("1098"), QStringList{QStringLiteral("1098|31|李明|三班|1|4|2|2|0")});
        QCoreApplication::processEvents();
        QCOMPARE(f.txt1()->text(), QStringLiteral("新文"));
        QCOMPARE(f.env.fakeSocket.sent.last(), QStringLiteral("1011"));
        QCOMPARE(f.session().phase(), TestSession::Phase::TextLoaded);
        QVERIFY(!f.txt2()->isReadOnly());
    }

    // At a time limit the final report goes out before the result window opens, so the
    // teacher has it however long the student reads, and also when the student then takes the
    // practice link; nothing more is reported for that test.
    void finalReportAtTheLimitGoesOutAtOnce()
    {
        Class f;
        f.arrive(QStringLiteral("00081|5"));
        f.arrive(QStringLiteral("0010第一篇"));
        f.commit(QStringLiteral("弟"));
        f.s().TotalTime = 59;
        QStringList sentWhileOpen;
        f.duringResult = [&](const TestResult &result) {
            sentWhileOpen = f.sentWith("1099");
            QVERIFY(f.session().startDrill(result.test, result.cuowu));
        };
        f.env.fakeSocket.sent.clear();
        f.tick();
        QCOMPARE(sentWhileOpen, QStringList{f.report(60, 3, 1, 0, 0, QStringLiteral("第"))});
        QCOMPARE(f.sentWith("1099"), sentWhileOpen);
        QCOMPARE(f.txt1()->text(), QStringLiteral("第"));
        f.tick();
        QCOMPARE(f.sentWith("1099"), sentWhileOpen);
    }

    // Time runs out while the end question is open: the answer Yes finds the test over and
    // sends nothing more. An end click that waits while the last character completes the
    // text asks nothing: the test is over.
    void doubleEndings()
    {
        Class f;
        f.arrive(QStringLiteral("00081|5"));
        f.arrive(QStringLiteral("0010中文"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 59;
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &box) {
            if (box.buttons & Dialogs::Yes)
                f.tick();
            return box.buttons & Dialogs::Yes ? Dialogs::Yes : Dialogs::Ok;
        };
        f.env.fakeSocket.sent.clear();
        f.c().session->cmdexit_Click();
        QCOMPARE(f.results.size(), 1);
        QVERIFY(f.sentWith("1098").isEmpty());
        QCOMPARE(f.sentWith("1099").size(), 1);

        // The same, with the practice link taken from the result window that opened inside the
        // question: the answer belongs to the test it was asked for, not to the practice.
        f.arrive(QStringLiteral("0010中文"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 59;
        f.duringResult = [&](const TestResult &result) {
            QVERIFY(f.session().startDrill(result.test, result.cuowu));
        };
        f.c().session->cmdexit_Click();
        f.duringResult = nullptr;
        QCOMPARE(f.session().phase(), TestSession::Phase::Drill);
        QVERIFY(f.s().IsWorking);

        f.env.dialogs.answerMessage = nullptr;
        f.arrive(QStringLiteral("0010中文"));
        f.commit(QStringLiteral("中"));
        f.answerEnd(Dialogs::Yes);
        f.env.fakeSocket.sent.clear();
        QMetaObject::invokeMethod(
            f.c().ui.cmdexit, [&] { f.c().ui.cmdexit->click(); }, Qt::QueuedConnection);
        f.commit(QStringLiteral("文"));
        const int boxes = f.env.dialogs.count();
        QCoreApplication::processEvents();
        QCOMPARE(f.env.dialogs.count(), boxes);
        QCOMPARE(f.results.size(), 3);
        QVERIFY(f.sentWith("1098").isEmpty());
    }

    // Replies held behind a box go to the connection the messages came on: when it closes they
    // are dropped, no error box for each, and nothing is answered on the next connection. The
    // queue keeps its bound, and one duplicate-login warning stands for all of them.
    void heldRepliesAndTheQueueBound()
    {
        Class f;
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &) {
            f.arrive(QStringLiteral("000810|5"));
            f.arrive(QStringLiteral("0009五笔"));
            f.env.fakeSocket.raiseClosed();
            f.env.fakeSocket.raiseConnected();
            return Dialogs::Ok;
        };
        f.arrive(QStringLiteral("00111"));
        f.env.dialogs.answerMessage = nullptr;
        QCoreApplication::processEvents();
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QCOMPARE(f.env.dialogs.count(), 1);
        QCOMPARE(f.s().MaxTime, 0);

        int boxes = 0;
        int waitingAtMost = 0;
        f.env.dialogs.answerMessage = [&](const FakeDialogs::Shown &) {
            ++boxes;
            if (boxes == 1) {
                for (int i = 0; i < 2000; ++i) {
                    f.arrive(QStringLiteral("00111"));
                    waitingAtMost = std::max(waitingAtMost, f.c().control->waitingCount());
                }
            }
            return Dialogs::Ok;
        };
        f.arrive(QStringLiteral("00111"));
        QCoreApplication::processEvents();
        QCOMPARE(waitingAtMost, TestControl::kMaxWaiting);
        QCOMPARE(boxes, 1);
        QCOMPARE(f.c().control->waitingCount(), 0);
        QCOMPARE(f.env.fakeSocket.sent.size(), 1 + TestControl::kMaxWaiting);
        QCOMPARE(f.c().control->droppedCount(), 2 + 2000 - TestControl::kMaxWaiting);
    }

    // The final report of a completed test that could not be sent waits and goes out once the
    // connection is back.
    void completionWithTheConnectionDown()
    {
        Class f;
        f.arrive(QStringLiteral("0010中文"));
        f.commit(QStringLiteral("中"));
        f.env.fakeSocket.raiseClosed();
        f.commit(QStringLiteral("文"));
        QCOMPARE(f.session().unsentReports(), 1);
        QVERIFY(f.session().needsConnection());
        f.env.fakeSocket.sent.clear();
        f.env.fakeSocket.raiseConnected();
        QCOMPARE(f.env.fakeSocket.sent, QStringList{f.report(1, 2, 2, 2, 0, QString())});
        QVERIFY(!f.session().needsConnection());

        // A result waits for the server it was made for: after a change of the server
        // settings the next server gets nothing of it.
        f.arrive(QStringLiteral("0010中文"));
        f.env.fakeSocket.raiseClosed();
        f.commit(QStringLiteral("中文"));
        QCOMPARE(f.session().unsentReports(), 1);
        f.env.fakeSocket.setRemoteHost(QStringLiteral("192.168.1.99"));
        f.env.fakeSocket.sent.clear();
        f.env.fakeSocket.raiseConnected();
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QCOMPARE(f.session().unsentReports(), 0);
    }

    // A result teaches: the speed of every second, the accuracy, and each mistyped
    // character with what was typed in its place, its codes and its roots from the shipped
    // tables; a time limit that cut the text short says so.
    void resultTeaches()
    {
        LogicEnv env;
        for (const char *name : {"wb.dat", "wbcz.dat"})
            QVERIFY(
                QFile::copy(QStringLiteral(CLIENT_SOURCE_DIR "/assets/data/") + QLatin1String(name),
                            env.dir.filePath(QLatin1String(name))));
        env.createLogic();
        env.fakeSocket.raiseConnected();
        Client &c = env.client();
        c.ui.Timer4->stop();
        QList<TestResult> results;
        QObject::connect(&env.logic(), &ClientLogic::resultReady, &env.logic(),
                         [&](const TestResult &r) { results << r; });
        env.fakeSocket.arrive(QStringLiteral("00081|5"));
        env.fakeSocket.arrive(QStringLiteral("0010中文录入"));
        TextModel *txt2 = c.ui.txt2;
        txt2->replace(0, 0, QStringLiteral("中问"));
        c.session->Timer3_Timer();
        txt2->replace(2, 0, QStringLiteral("录"));
        c.session->Timer3_Timer();
        txt2->replace(3, 0, QStringLiteral("如"));
        QCOMPARE(results.size(), 1);
        const TestResult &done = results[0];
        QVERIFY(!done.timeUp);
        QCOMPARE(done.wrongKeys, -1);
        QVERIFY(done.drillable);
        // Two seconds of ticks and the completion's own: 1 in 1 s, 2 in 2 s, 2 in 3 s.
        QCOMPARE(done.speedTenths, (QList<int>{600, 600, 400}));
        QCOMPARE(done.accuracy, QStringLiteral("50"));
        QCOMPARE(done.mistakes.size(), 2);
        QCOMPARE(done.mistakes[0].expected, QStringLiteral("文"));
        QCOMPARE(done.mistakes[0].typed, QStringLiteral("问"));
        QCOMPARE(done.mistakes[0].wubi, QStringList{QStringLiteral("YYGY")});
        QCOMPARE(done.mistakes[0].pinyin, QStringList{QStringLiteral("wén")});
        QVERIFY(!done.mistakes[0].glyphs.isEmpty());
        for (int glyph : done.mistakes[0].glyphs)
            QVERIFY(glyph >= 1 && glyph <= 206);
        QCOMPARE(done.mistakes[1].expected, QStringLiteral("入"));
        QCOMPARE(done.mistakes[1].typed, QStringLiteral("如"));

        // Cut short by the limit: the caption will say the time is up.
        env.fakeSocket.arrive(QStringLiteral("0010中文录入"));
        txt2->replace(0, 0, QStringLiteral("中"));
        c.state.TotalTime = 59;
        c.session->Timer3_Timer();
        QCOMPARE(results.size(), 2);
        QVERIFY(results[1].timeUp);
        QCOMPARE(results[1].speedTenths, QList<int>{10});
        QVERIFY(results[1].mistakes.isEmpty());
    }

    // A root practice counts its wrong keys for the result: each root answered wrong, with the
    // keys pressed for it and its right key; keys that are no letter are no answer.
    void practiceCountsWrongKeys()
    {
        Class f;
        f.arrive(QStringLiteral("0010<zg>1/3"));
        QSignalSpy flashes(f.practice(), &PracticeSession::wrongKey);
        const QString first = f.practice()->strip().nextRoot();
        const QChar right = f.practice()->table().keyOf(first.at(0))->at(0).toUpper();
        const int wrong = right == u'A' ? Qt::Key_B : Qt::Key_A;
        f.practice()->RTinput_KeyUp(wrong);
        f.practice()->RTinput_KeyUp(wrong);
        f.practice()->RTinput_KeyUp(Qt::Key_Shift);
        QCOMPARE(flashes.count(), 2);
        QCOMPARE(flashes.at(0).at(0).toInt(), 0);
        QCOMPARE(flashes.at(0).at(1).value<QChar>(), right);
        f.typeAllRoots();
        QCOMPARE(f.results.size(), 1);
        const TestResult &result = f.results[0];
        QCOMPARE(result.wrongKeys, 2);
        QCOMPARE(result.mistakes.size(), 1);
        QCOMPARE(result.mistakes[0].expected, first);
        QCOMPARE(result.mistakes[0].typed, QString(QChar(wrong == Qt::Key_A ? u'A' : u'B')));
        QCOMPARE(result.mistakes[0].wubi, QStringList{QString(right)});
        QVERIFY(!result.drillable);
        // The counters the server sees are the accepted roots only.
        QCOMPARE(f.s().NumTxtInputCount, 3);
        QCOMPARE(f.s().NumTxtRight, 3);
    }

    // The buttons as a function of the connection and the phase: connect, start, end, server
    // settings, personal settings, root chart, hints (the server allows the hints, not the
    // root chart).
    void buttons_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("connected, no test") << ""
                                            << "0101101";
        QTest::newRow("text loaded") << "text"
                                     << "0010001";
        QTest::newRow("typing") << "text type"
                                << "0010001";
        QTest::newRow("typing, disconnected") << "text type close"
                                              << "1010001";
        QTest::newRow("ended by completion") << "text type complete"
                                             << "0101100";
        QTest::newRow("ended, disconnected") << "text complete close"
                                             << "1001100";
        QTest::newRow("empty text") << "empty"
                                    << "0100001";
        QTest::newRow("practice of mistyped characters") << "text complete drill"
                                                         << "0010011";
        QTest::newRow("root practice") << "roots"
                                       << "0000001";
        QTest::newRow("after the start button") << "text complete start"
                                                << "0101101";
    }
    void buttons()
    {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Class f;
        f.arrive(QStringLiteral("010001"));
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == QLatin1String("text")) {
                f.arrive(QStringLiteral("0010中文"));
            } else if (step == QLatin1String("empty")) {
                f.arrive(QStringLiteral("0010"));
            } else if (step == QLatin1String("type")) {
                f.commit(QStringLiteral("中"));
            } else if (step == QLatin1String("complete")) {
                f.duringResult = [&](const TestResult &) {};
                f.commit(QStringLiteral("中文").mid(f.txt2()->length()));
            } else if (step == QLatin1String("drill")) {
                f.c().session->rst(QStringLiteral("文"));
            } else if (step == QLatin1String("roots")) {
                f.arrive(QStringLiteral("0010<zg>0/5"));
            } else if (step == QLatin1String("start")) {
                f.c().ui.cmdread->click();
            } else if (step == QLatin1String("close")) {
                f.env.fakeSocket.raiseClosed();
            }
        }
        const MainControls &ui = f.c().ui;
        QString shown;
        for (const ControlModel *button : {ui.cmdlianjie, ui.cmdread, ui.cmdexit, ui.cmdserverset,
                                           ui.cmduserset, ui.btnzigen, ui.cts})
            shown += button->isEnabled() ? u'1' : u'0';
        QCOMPARE(shown, expected);
    }
};

CLIENT_TEST(TestSessionTest)
#include "tst_testsession.moc"
