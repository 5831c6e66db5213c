// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/practice/PracticeFixture.h"
#include "tests/support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QString captions(const RootStrip &strip, int from, int to)
{
    QString text;
    for (int i = from; i <= to; ++i)
        text += strip.caption(i);
    return text;
}

int highlighted(const RootStrip &strip)
{
    int found = -1;
    for (int i = 0; i < strip.labelCount(); ++i) {
        if (strip.isHighlighted(i)) {
            if (found >= 0)
                return -2; // more than one
            found = i;
        }
    }
    return found;
}

// An exercise with known roots: every root of the sample table's first zone, in order, and
// then again.
QString knownExercise(int length)
{
    const QString roots = QStringLiteral("王一五戋土士二干十寸雨大犬三古石厂木丁西工戈七艹");
    QString text;
    while (text.size() < length)
        text += roots;
    return text.left(length);
}

// Starts a practice whose exercise is `exercise`: each draw returns the position of the next
// root in a zone 1 pool.
void startKnown(PracticeRig &rig, const QString &exercise)
{
    const QString pool = *rig.session.table().pool(1);
    QList<double> numbers;
    for (QChar c : exercise)
        numbers << (pool.indexOf(c) + 1.0) / pool.size();
    rig.session.setRandom([numbers]() mutable { return numbers.takeFirst(); });
    QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>1/%1").arg(exercise.size())).ok());
    QCOMPARE(rig.session.strip().exercise(), exercise);
}

} // namespace

class PracticeStartTest : public QObject
{
    Q_OBJECT
private slots:
    void exerciseComesFromTheZonesPool_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("count");
        QTest::newRow("all keys") << "<zg>0/10" << 0 << 10;
        QTest::newRow("below 1 is all keys") << "<zg>-3/10" << 0 << 10;
        for (int zone = 1; zone <= 5; ++zone)
            QTest::newRow(qPrintable(QStringLiteral("zone %1").arg(zone)))
                << QStringLiteral("<zg>%1/40").arg(zone) << zone << 40;
    }
    void exerciseComesFromTheZonesPool()
    {
        QFETCH(QString, text);
        QFETCH(int, zone);
        QFETCH(int, count);
        PracticeRig rig;
        rig.state.TotalTime = 99;
        rig.state.NumKeyBackup = 4;
        const PracticeSession::Start start = rig.session.LoadForm(text);
        QVERIFY(start.ok());
        QVERIFY(start.notice.isEmpty());
        const QString pool = *rig.session.table().pool(zone);
        QCOMPARE(rig.session.strip().length(), count);
        for (QChar root : rig.session.strip().exercise())
            QVERIFY2(pool.contains(root), qPrintable(QString(root)));
        QCOMPARE(rig.state.NumTxtCount, count);
        QCOMPARE(rig.state.NumTxtInputCount, 0);
        QCOMPARE(rig.state.NumKeyBackup, 0);
        QCOMPARE(rig.state.TotalTime, 0);
        QVERIFY(rig.state.IsWorking);
        // The first page: 15 roots at the window's first width, label 0 highlighted.
        QCOMPARE(captions(rig.session.strip(), 0, 14), rig.session.strip().exercise().left(15));
        QCOMPARE(rig.session.strip().page(), 1);
    }

    // A bad message changes nothing: the running practice goes on as it was.
    void badMessageLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("zone 6") << "<zg>6/10";
        QTest::newRow("no count") << "<zg>2";
        QTest::newRow("not a number") << "<zg>a/10";
        QTest::newRow("overflow") << "<zg>1/99999";
    }
    void badMessageLeavesEverythingAsItWas()
    {
        QFETCH(QString, text);
        PracticeRig rig;
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>1/20")).ok());
        rig.typeRoots(3);
        rig.state.TotalTime = 7;
        const QString exercise = rig.session.strip().exercise();
        const QString typed = rig.session.strip().typed();

        const PracticeSession::Start start = rig.session.LoadForm(text);
        QVERIFY(!start.ok());
        QVERIFY(!start.error.isEmpty());
        QCOMPARE(rig.session.strip().exercise(), exercise);
        QCOMPARE(rig.session.strip().typed(), typed);
        QCOMPARE(rig.state.NumTxtInputCount, 3);
        QCOMPARE(rig.state.TotalTime, 7);
        QCOMPARE(rig.session.NumZgZone(), 1);
    }

    void emptyPoolGivesAnEmptyExerciseAndANotice_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("text");
        QTest::newRow("zone 5 of a 20-line table") << sampleRows().mid(0, 20) << "<zg>5/3";
        QTest::newRow("missing table") << QStringList() << "<zg>0/3";
    }
    void emptyPoolGivesAnEmptyExerciseAndANotice()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, text);
        PracticeRig rig(rows);
        const PracticeSession::Start start = rig.session.LoadForm(text);
        QVERIFY(start.ok());
        QVERIFY(start.notice.contains(QStringLiteral("86zg.dat")));
        QCOMPARE(rig.session.strip().length(), 0);
        QCOMPARE(rig.state.NumTxtCount, 0);
        QVERIFY(rig.state.IsWorking);
        // It ends at the first key release like any exercise of 0 roots.
        rig.session.RTinput_KeyUp(Qt::Key_G);
        QCOMPARE(rig.host.results.size(), 1);
        QVERIFY(!rig.state.IsWorking);
    }

    void missingTableLeavesOneLabel()
    {
        PracticeRig rig{QStringList()};
        QCOMPARE(rig.warning, rootTableMissingText());
        QCOMPARE(rig.session.strip().labelCount(), 1);
        QCOMPARE(rig.session.strip().pageSize(), 1);
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>1/0")).notice.isEmpty());
    }

    // An exercise of 0 roots ends at the first key release, after 0 seconds too.
    void zeroRootsEndCleanlyWithTheirResult()
    {
        PracticeRig rig;
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>2/0")).ok());
        QCOMPARE(rig.state.NumTxtCount, 0);
        QCOMPARE(rig.session.strip().caption(0), QString());
        rig.session.RTinput_KeyUp(Qt::Key_Shift);
        QCOMPARE(rig.host.results.size(), 1);
        QVERIFY(rig.host.results[0].startsWith(QStringLiteral("已用时：0分0秒，总字数：0个")));
        QVERIFY(rig.host.results[0].endsWith(QStringLiteral("平均速度：0.0字/分钟")));
        QVERIFY(!rig.state.IsWorking);
        rig.session.RTinput_KeyUp(Qt::Key_G);
        QCOMPARE(rig.host.results.size(), 1);
    }

    void secondMessageRestarts()
    {
        PracticeRig rig;
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>0/40")).ok());
        rig.typeRoots(20);
        rig.state.TotalTime = 33;
        QCOMPARE(rig.session.strip().page(), 2);
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>3/12")).ok());
        QCOMPARE(rig.state.NumTxtInputCount, 0);
        QCOMPARE(rig.state.NumTxtRight, 0);
        QCOMPARE(rig.state.NumTxtCount, 12);
        QCOMPARE(rig.state.TotalTime, 0);
        QCOMPARE(rig.session.strip().page(), 1);
        QCOMPARE(rig.session.strip().typed(), QString());
        // Nothing of the first exercise is left in the strip, its highlight neither: the
        // first root of the new exercise is the one to type, before any key.
        QCOMPARE(rig.session.strip().caption(12), QString());
        for (int i = 0; i < rig.session.strip().labelCount(); ++i)
            QVERIFY2(rig.session.strip().isHighlighted(i) == (i == 0),
                     qPrintable(QString::number(i)));
    }
};

class PracticeJudgingTest : public QObject
{
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("G") << int(Qt::Key_G) << true;
        QTest::newRow("H") << int(Qt::Key_H) << false;
        QTest::newRow("Shift") << int(Qt::Key_Shift) << false;
        QTest::newRow("Control") << int(Qt::Key_Control) << false;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << false;
        QTest::newRow("Left") << int(Qt::Key_Left) << false;
        QTest::newRow("7 (a keypad letter code elsewhere)") << int(Qt::Key_7) << false;
        QTest::newRow("F1") << int(Qt::Key_F1) << false;
        QTest::newRow("g with accent key") << int(Qt::Key_Agrave) << false;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, accepted);
        PracticeRig rig;
        startKnown(rig, QStringLiteral("王土大"));
        rig.session.RTinput_KeyUp(key);
        QCOMPARE(rig.session.strip().typed(), accepted ? QStringLiteral("王") : QString());
        QCOMPARE(rig.state.NumTxtInputCount, accepted ? 1 : 0);
        QCOMPARE(rig.state.NumTxtRight, accepted ? 1 : 0);
        QCOMPARE(rig.state.NumKeyBackup, 0);
        QCOMPARE(highlighted(rig.session.strip()), accepted ? 1 : 0);
    }

    void keyLetterOfTheTableIsCaseInsensitive()
    {
        QStringList rows = sampleRows();
        rows[0] = QStringLiteral("g王一五戋");
        PracticeRig rig(rows);
        startKnown(rig, QStringLiteral("王土"));
        rig.session.RTinput_KeyUp(Qt::Key_G);
        QCOMPARE(rig.session.strip().typed(), QStringLiteral("王"));
    }

    void rootInTwoRowsIsAnsweredByTheFirst()
    {
        QStringList rows = sampleRows();
        rows[1] = QStringLiteral("F土士二干十寸雨王"); // 王 also on F, a later row than G
        PracticeRig rig(rows);
        startKnown(rig, QStringLiteral("王王"));
        rig.session.RTinput_KeyUp(Qt::Key_F);
        QCOMPARE(rig.state.NumTxtInputCount, 0);
        rig.session.RTinput_KeyUp(Qt::Key_G);
        QCOMPARE(rig.state.NumTxtInputCount, 1);
    }

    void completingTheExerciseShowsTheResultOnce()
    {
        PracticeRig rig;
        startKnown(rig, QStringLiteral("王土大木工"));
        rig.state.strUserName = QStringLiteral("李明");
        rig.state.TotalTime = 30;
        rig.typeRoots(5);
        QCOMPARE(rig.host.results, QStringList{QStringLiteral(
                                       "已用时：0分30秒，总字数：5个，已录入：5个，正确数：5个，"
                                       "退格次数：0次，平均速度：10.0字/分钟")});
        QVERIFY(!rig.state.IsWorking);
        QVERIFY(!rig.session.isRunning());
        // Further keys change nothing.
        rig.session.RTinput_KeyUp(Qt::Key_G);
        rig.session.RTinput_KeyUp(Qt::Key_Z);
        QCOMPARE(rig.state.NumTxtInputCount, 5);
        QCOMPARE(rig.session.strip().typed(), QStringLiteral("王土大木工"));
        QCOMPARE(rig.host.results.size(), 1);
    }

    // With 15 roots to a page and 40 roots: the key after a full page turns the page; after a
    // re-layout it also answers the first root of the new page, after a page turn it does not.
    void pagesTurnAfterAFullPage()
    {
        PracticeRig rig;
        const QString exercise = knownExercise(40);
        startKnown(rig, exercise);
        QCOMPARE(rig.session.strip().pageSize(), 15);
        // The window's first re-layout has put root 16 into the hidden label 15.
        rig.session.Pmid_Resize(13265);
        rig.typeRoots(15);
        QCOMPARE(rig.session.strip().typed(), exercise.left(15));
        QCOMPARE(highlighted(rig.session.strip()), 15);
        QVERIFY(!rig.session.strip().isShown(15));

        rig.typeRoots(1); // turns the page and is root 16
        QCOMPARE(rig.session.strip().page(), 2);
        QCOMPARE(captions(rig.session.strip(), 0, 14), exercise.mid(15, 15));
        QCOMPARE(rig.session.strip().typed(), exercise.mid(15, 1));
        QCOMPARE(rig.state.NumTxtInputCount, 16);

        rig.typeRoots(14); // 30 accepted; label 15 is empty now
        QCOMPARE(rig.session.strip().caption(15), QString());
        const int before = rig.state.NumTxtInputCount;
        rig.session.RTinput_KeyUp(Qt::Key_G); // only turns the page
        QCOMPARE(rig.state.NumTxtInputCount, before);
        QCOMPARE(rig.session.strip().page(), 3);
        QCOMPARE(captions(rig.session.strip(), 0, 9), exercise.mid(30, 10));
        QCOMPARE(rig.session.strip().caption(10), QString());
        QCOMPARE(rig.session.strip().typed(), QString());
        QCOMPARE(highlighted(rig.session.strip()), 0);

        rig.typeRoots(10);
        QCOMPARE(rig.state.NumTxtInputCount, 40);
        QCOMPARE(rig.host.results.size(), 1);
    }

    void wrongKeyRepaintsWithoutChange()
    {
        PracticeRig rig;
        startKnown(rig, QStringLiteral("王土大"));
        QSignalSpy strips(&rig.session, &PracticeSession::stripChanged);
        rig.session.RTinput_KeyUp(Qt::Key_Q);
        QCOMPARE(strips.count(), 1);
        QCOMPARE(highlighted(rig.session.strip()), 0);
        QCOMPARE(rig.session.strip().typed(), QString());
    }
};

class PracticePagingTest : public QObject
{
    Q_OBJECT
private slots:
    void pageSizeFromPanelWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("pageSize");
        QTest::newRow("first width: label 14 fits, 15 not") << 13265 << 15;
        QTest::newRow("label 15 with its margin just does not fit") << 13880 << 15;
        QTest::newRow("label 15 fits") << 13881 << 16;
        QTest::newRow("no label after 0 fits") << 1000 << 1;
        QTest::newRow("negative width") << -50 << 1;
        QTest::newRow("every label") << 200000 << 100;
        QTest::newRow("label 9 is the last") << 240 + 840 * 10 + 201 << 10;
    }
    void pageSizeFromPanelWidth()
    {
        QFETCH(int, width);
        QFETCH(int, pageSize);
        PracticeRig rig;
        rig.session.Pmid_Resize(width);
        QCOMPARE(rig.session.strip().pageSize(), pageSize);
        QCOMPARE(rig.session.strip().lastIndex(), pageSize - 1);
        QVERIFY(rig.session.strip().isShown(pageSize - 1));
        QVERIFY(!rig.session.strip().isShown(pageSize));
    }

    // The worked examples: 20 roots accepted at 15 a page, then narrowed to 10 a page.
    void relayoutKeepsTheAcceptedRoots()
    {
        PracticeRig rig;
        const QString exercise = knownExercise(40);
        startKnown(rig, exercise);
        rig.session.Pmid_Resize(13265);
        rig.typeRoots(20);
        rig.session.Pmid_Resize(13265);
        const RootStrip &strip = rig.session.strip();
        QCOMPARE(strip.page(), 2);
        QCOMPARE(captions(strip, 0, 15), exercise.mid(15, 16));
        QCOMPARE(strip.typed(), exercise.mid(15, 5));
        QCOMPARE(highlighted(strip), 5);

        rig.session.Pmid_Resize(240 + 840 * 10 + 200 + 1); // ten labels
        QCOMPARE(strip.pageSize(), 10);
        QCOMPARE(strip.page(), 2);
        QCOMPARE(captions(strip, 0, 10), exercise.mid(10, 11));
        QCOMPARE(strip.typed(), exercise.mid(10, 10));
        QCOMPARE(highlighted(strip), 10);
        QVERIFY(!strip.isShown(10));
        // The next key turns to page 3 and, after this re-layout, counts for root 21.
        rig.typeRoots(1);
        QCOMPARE(strip.page(), 3);
        QCOMPARE(strip.typed(), exercise.mid(20, 1));
    }

    void relayoutRightAfterAPageTurn()
    {
        PracticeRig rig;
        const QString exercise = knownExercise(40);
        startKnown(rig, exercise);
        rig.typeRoots(15);
        rig.session.RTinput_KeyUp(Qt::Key_Z); // label 15 empty: only turns the page
        QCOMPARE(rig.session.strip().page(), 2);
        QCOMPARE(rig.state.NumTxtInputCount, 15);

        rig.session.Pmid_Resize(13265);
        const RootStrip &strip = rig.session.strip();
        QCOMPARE(strip.page(), 2);
        QCOMPARE(strip.typed(), QString());
        QCOMPARE(highlighted(strip), 0);

        rig.session.Pmid_Resize(240 + 840 * 10 + 200 + 1);
        QCOMPARE(strip.page(), 2);
        QCOMPARE(captions(strip, 0, 10), exercise.mid(10, 11));
        QCOMPARE(strip.typed(), exercise.mid(10, 5));
        QCOMPARE(highlighted(strip), 5);
    }

    void relayoutBeforeAnyKeyAndAfterTheEnd()
    {
        PracticeRig rig;
        const QString exercise = knownExercise(12);
        startKnown(rig, exercise);
        rig.session.Pmid_Resize(5000); // 5 labels
        QCOMPARE(rig.session.strip().page(), 1);
        QCOMPARE(rig.session.strip().typed(), QString());
        QCOMPARE(highlighted(rig.session.strip()), 0);

        rig.typeRoots(12);
        rig.session.RTinput_KeyUp(Qt::Key_G); // past the end: the page count goes on
        rig.session.Pmid_Resize(5000);
        QCOMPARE(rig.session.strip().page(), 3);
        QCOMPARE(rig.session.strip().typed(), exercise.mid(10));
        rig.session.Pmid_Resize(13265);
        QCOMPARE(rig.session.strip().page(), 1);
        QCOMPARE(rig.session.strip().typed(), exercise);
        QCOMPARE(highlighted(rig.session.strip()), 12);
    }
};

class PracticeTimingTest : public QObject
{
    Q_OBJECT
private slots:
    void display_data()
    {
        QTest::addColumn<int>("maxTime");
        QTest::addColumn<int>("totalTime");
        QTest::addColumn<int>("accepted");
        QTest::addColumn<QStringList>("texts"); // speed, progress, timing, elapsed, remaining
        QTest::newRow("12 of 30 in 125 s, 10 minutes")
            << 10 << 125 << 12
            << QStringList{"5.8", "12/30(正确100%)", "限时10分钟", "2分5秒", "7分55秒"};
        QTest::newRow("no limit") << 0 << 61 << 0
                                  << QStringList{"0.0", "0/30(正确0%)", "不限时", "1分1秒", "不限"};
        QTest::newRow("no time yet")
            << 1 << 0 << 4 << QStringList{"0", "0/0(正确100%)", "限时1分钟", "0分0秒", "1分0秒"};
        QTest::newRow("past the limit")
            << 1 << 65 << 4
            << QStringList{"3.7", "4/30(正确100%)", "限时1分钟", "1分5秒", "0分-5秒"};
    }
    void display()
    {
        QFETCH(int, maxTime);
        QFETCH(int, totalTime);
        QFETCH(int, accepted);
        QFETCH(QStringList, texts);
        PracticeRig rig;
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>0/30")).ok());
        rig.state.MaxTime = maxTime;
        rig.state.TotalTime = totalTime;
        rig.state.NumTxtInputCount = rig.state.NumTxtRight = accepted;
        QSignalSpy displays(&rig.session, &PracticeSession::displayChanged);
        rig.session.Timer1_Timer();
        QCOMPARE(rig.state.TotalTime, totalTime); // the main clock counts, not this tick
        const auto shown = displays.last().at(0).value<PracticeDisplay>();
        QCOMPARE(QStringList(
                     {shown.speed, shown.progress, shown.timing, shown.elapsed, shown.remaining}),
                 texts);
    }

    void chartFollowsTheRootSwitch()
    {
        PracticeRig rig;
        rig.state.Zigen = true;
        QVERIFY(rig.session.display().chartShown);
        rig.state.Zigen = false;
        QSignalSpy displays(&rig.session, &PracticeSession::displayChanged);
        rig.session.Timer1_Timer();
        QVERIFY(!displays.last().at(0).value<PracticeDisplay>().chartShown);
    }

    void progressBarFollowsTheAcceptedRoots()
    {
        PracticeRig rig;
        startKnown(rig, QStringLiteral("王土大木"));
        QSignalSpy bars(&rig.session, &PracticeSession::progressChanged);
        rig.typeRoots(3);
        rig.session.Timer1_Timer();
        QCOMPARE(bars.count(), 1);
        QCOMPARE(bars.last().at(0).toInt(), 4);
        QCOMPARE(bars.last().at(1).toInt(), 3);
    }

    // The window's timer only shows: the seconds and the limit are the test clock's.
    void displayTimerShowsWithoutCounting()
    {
        PracticeRig rig;
        QVERIFY(rig.session.Timer1->isActive());
        QCOMPARE(rig.session.Timer1->interval(), 1000);
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>0/30")).ok());
        rig.state.MaxTime = 1;
        rig.state.TotalTime = 60;
        QSignalSpy displays(&rig.session, &PracticeSession::displayChanged);
        QVERIFY(displays.wait(1500));
        QCOMPARE(rig.state.TotalTime, 60);
        QVERIFY(rig.host.results.isEmpty());
        QVERIFY(rig.session.isRunning());
        QCOMPARE(displays.last().at(0).value<PracticeDisplay>().elapsed, QStringLiteral("1分0秒"));
    }

    // A practice started from the server while the result window is open stays running.
    void newPracticeDuringTheResultWindowKeepsRunning()
    {
        PracticeRig rig;
        startKnown(rig, QStringLiteral("王"));
        rig.host.duringResult = [&] {
            rig.session.setRandom(rootdraw::systemRandom());
            QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>2/5")).ok());
        };
        rig.typeRoots(1);
        QCOMPARE(rig.host.results.size(), 1);
        QVERIFY(rig.state.IsWorking);
        QVERIFY(rig.session.isRunning());
        QCOMPARE(rig.state.NumTxtCount, 5);
    }

    // Once the practice is no longer the running test its keys count nothing: the counters
    // belong to whatever test took its place.
    void keysAfterTheEndCountNothing()
    {
        PracticeRig rig;
        startKnown(rig, QStringLiteral("王土大"));
        rig.typeRoots(1);
        rig.host.running = 0; // a new test took the practice's place
        rig.state.resetCounters(57);
        rig.session.RTinput_KeyUp(Qt::Key_F);
        QCOMPARE(rig.state.NumTxtInputCount, 0);
        QCOMPARE(rig.session.strip().typed(), QStringLiteral("王"));
        QVERIFY(rig.host.results.isEmpty());
    }
};

class PracticeLeavingTest : public QObject
{
    Q_OBJECT
private slots:
    void leaving_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("questions");
        QTest::newRow("running, No") << true << false << true << 1;
        QTest::newRow("running, Yes ends the practice") << true << true << false << 1;
        QTest::newRow("ended: no question") << false << false << false << 0;
    }
    void leaving()
    {
        QFETCH(bool, running);
        QFETCH(bool, yes);
        QFETCH(bool, refused);
        PracticeRig rig;
        QVERIFY(rig.session.LoadForm(QStringLiteral("<zg>0/30")).ok());
        rig.typeRoots(2);
        if (!running)
            rig.host.running = 0;
        rig.host.leave = yes;
        QCOMPARE(rig.session.Form_QueryUnload(), refused);
        QTEST(int(rig.host.questions.size()), "questions");
        if (!rig.host.questions.isEmpty())
            QCOMPARE(rig.host.questions[0], QStringLiteral("正在进行测试，确实要退出吗？"));
        QCOMPARE(rig.host.left, running && yes ? 1 : 0);
        QCOMPARE(rig.session.isRunning(), running && refused);
        QCOMPARE(rig.state.NumTxtInputCount, 2);
    }
};

CLIENT_TEST(PracticeStartTest)
CLIENT_TEST(PracticeJudgingTest)
CLIENT_TEST(PracticePagingTest)
CLIENT_TEST(PracticeTimingTest)
CLIENT_TEST(PracticeLeavingTest)

#include "tst_practicesession.moc"
