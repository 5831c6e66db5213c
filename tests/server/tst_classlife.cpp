// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "tests/server/ClassFixture.h"

#include <QFile>
#include <QTcpSocket>

namespace {

// Resident memory of this process in KiB.
qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * 4;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

} // namespace

// A class through a lesson: the roster, connections that never say who they are, the next
// test after one has ended, the class's time limit, and a console started again on its store.
class ClassLifeTest : public QObject
{
    Q_OBJECT
private slots:
    // The roster's students are in the list from the start; those who never come are absent,
    // in the list, the summary and the results; a student not on it is marked.
    void rosterWithAbsentStudents()
    {
        ClassFixture room;
        QFile file(room.results.filePath("roster.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            gbk::encode(QStringLiteral("学号,姓名,班级,计算机\r\n1,李明,三班,PC1\r\n"
                                       "2,王芳,三班,PC2\r\n3,张伟,三班,\r\n4,刘洋,三班,\r\n"))
                .bytes);
        file.close();
        QStringList skipped;
        QVERIFY(room.console.importRoster(file.fileName(), &skipped).ok());
        QVERIFY(skipped.isEmpty());
        QVERIFY(room.console.startTest(QStringLiteral("名单")).ok());
        QCOMPARE(room.console.roster().size(), 4);
        QCOMPARE(room.row("3").name, QStringLiteral("张伟"));
        QCOMPARE(room.row("3").state, StudentRow::State::Absent);
        QCOMPARE(room.console.notStarted().size(), 4);
        auto li = room.typing(QStringLiteral("1"), QStringLiteral("PC1"));
        auto wang = room.typing(QStringLiteral("2"), QStringLiteral("PC2"));
        auto stranger = room.typing(QStringLiteral("77"));
        li->sendEnd(li->progress(30, 20, 19));
        wang->sendProgress(wang->progress(30, 15, 15));
        stranger->sendProgress(stranger->progress(30, 15, 15));
        QTRY_VERIFY(room.row("1").finished() && room.row("2").live && room.rowOf("77") >= 0 &&
                    room.row("77").live);
        QCOMPARE(room.console.roster().size(), 5);
        QVERIFY(room.row("77").flags & StudentRow::NotOnRoster);
        const ClassSummary summary = room.console.summary();
        QCOMPARE(summary.students, 2);
        QCOMPARE(summary.absent, 2);
        QCOMPARE(summary.leftOut, 1);
        QCOMPARE(room.console.notStarted(),
                 (QStringList{QStringLiteral("3 张伟"), QStringLiteral("4 刘洋")}));
        QVERIFY(room.console.endTest().ok());
        const QList<QStringList> lines = csvLines(room.console.lastSavedPath());
        QCOMPARE(lines.size(), 5);
        int absent = 0;
        for (const QStringList &line : lines)
            absent += line.at(csv::State) == u"缺席";
        QCOMPARE(absent, 2);
        // The roster stays in the store for the next test: the absent are there again.
        QVERIFY(room.console.startTest(QStringLiteral("二")).ok());
        QCOMPARE(room.row("4").state, StudentRow::State::Absent);
        QCOMPARE(room.row("1").state, StudentRow::State::Ready);
        QCOMPARE(room.rowOf("77") >= 0, true); // still connected
    }

    // Connections that never say who they are leave the list after the grace period and are
    // counted in one line; one that reports later comes back as its student.
    void anonymousConnectionsLeaveTheList()
    {
        ClassFixture room;
        ClassConsole::Timing timing = room.console.timing();
        timing.anonymousGraceMs = 300;
        room.console.setTiming(timing);
        QVERIFY(room.console.startTest().ok());
        auto honest = room.typing(QStringLiteral("1"));
        honest->sendProgress(honest->progress(1, 1, 1));
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < 50; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QHostAddress::LocalHost, room.server.port());
        }
        auto late = room.join(QStringLiteral("2"));
        QTRY_COMPARE(room.console.roster().size(), 52);
        QTRY_COMPARE_WITH_TIMEOUT(room.console.roster().size(), 1, 5000);
        QCOMPARE(room.console.anonymousCount(), 51);
        QVERIFY2(room.console.classLine().contains(QStringLiteral("52个，其中51个尚未表明身份")),
                 qPrintable(room.console.classLine()));
        late->pressStart();
        QTRY_VERIFY(late->gotText);
        late->sendProgress(late->progress(1, 1, 1));
        QTRY_VERIFY(room.rowOf("2") >= 0);
        QCOMPARE(room.console.roster().size(), 2);
        idle.clear();
        QTRY_COMPARE(room.console.anonymousCount(), 0);
    }

    // 10,000 short connections (connect, a little garbage, close) leave nothing behind: the list
    // and the console's bookkeeping are back where they were, and memory with them.
    void tenThousandShortConnections()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto honest = room.typing(QStringLiteral("1"));
        honest->sendProgress(honest->progress(1, 1, 1));
        QTRY_VERIFY(room.rowOf("1") >= 0);
        const int total = qEnvironmentVariableIntValue("SHORT_CONNECTIONS") > 0
                              ? qEnvironmentVariableIntValue("SHORT_CONNECTIONS")
                              : (kSanitized ? 2000 : 10000);
        constexpr int kBatch = 50;
        const auto round = [&](int count) {
            for (int done = 0; done < count; done += kBatch) {
                std::vector<std::unique_ptr<QTcpSocket>> sockets;
                for (int i = 0; i < kBatch; ++i) {
                    sockets.push_back(std::make_unique<QTcpSocket>());
                    sockets.back()->connectToHost(QHostAddress::LocalHost, room.server.port());
                }
                if (!QTest::qWaitFor(
                        [&] {
                            return std::all_of(sockets.cbegin(), sockets.cend(), [](auto &s) {
                                return s->state() == QAbstractSocket::ConnectedState;
                            });
                        },
                        5000)) {
                    qWarning("after %d: connections not made", done);
                    return false;
                }
                for (auto &socket : sockets)
                    socket->write("1099|x|y");
                QTest::qWait(2);
                sockets.clear();
                if (!QTest::qWaitFor([&] { return room.server.clientCount() <= 1; }, 5000)) {
                    qWarning("after %d: %d clients still connected", done,
                             room.server.clientCount());
                    return false;
                }
            }
            return true;
        };
        // A first round warms the allocator up; the second is measured.
        QVERIFY(round(1000));
        QTRY_COMPARE(room.console.roster().size(), 1);
        const qint64 before = residentKiB();
        QVERIFY(round(total));
        QTRY_COMPARE(room.console.roster().size(), 1);
        QCOMPARE(room.console.anonymousCount(), 0);
        const qint64 after = residentKiB();
        qInfo("%d short connections: resident memory %lld KiB before, %lld KiB after", total,
              before, after);
        if (!kSanitized)
            QVERIFY2(after - before < 4096, qPrintable(QString::number(after - before)));
        // The honest student is still served.
        honest->sendProgress(honest->progress(2, 2, 2));
        QTRY_VERIFY(room.rowOf("1") >= 0 && room.row("1").live);
    }

    // After a test ended every way a test ends, the next one reaches everyone who presses
    // start with a text they can type, after the settings that changed; a text never goes to a
    // locked box; those already waiting get it at once.
    void nextTestIsTypeable()
    {
        ClassFixture room(1);
        QVERIFY(room.console.startTest(QStringLiteral("一")).ok());
        auto ender = room.typing(QStringLiteral("1"));
        auto completer = room.typing(QStringLiteral("2"));
        auto timed = room.typing(QStringLiteral("3"));
        const int length = ender->textLength;
        ender->sendEnd(ender->progress(20, 10, 10));
        completer->sendProgress(completer->progress(30, length - 2, length - 3));
        completer->sendProgress(completer->progress(31, length, length - 1));
        timed->sendProgress(timed->progress(59, 40, 40));
        timed->sendProgress(timed->progress(60, 41, 40));
        QTRY_VERIFY(room.rowOf("3") >= 0 && room.row("3").finished());
        QTRY_COMPARE(room.console.summary().finished, 3);
        QCOMPARE(room.row("1").finish, StudentRow::Finish::EndReport);
        QCOMPARE(room.row("2").finish, StudentRow::Finish::Completed);
        QCOMPARE(room.row("3").finish, StudentRow::Finish::TimeUp);
        // A finished student who presses start again keeps the result and gets no text.
        ender->pressStart();
        QTRY_COMPARE(ender->messages.size(), 1);
        ender->locked = true;
        QCOMPARE(ender->texts, 1);
        QVERIFY(room.console.endTest().ok());
        const QList<QStringList> first = csvLines(room.console.lastSavedPath());
        QCOMPARE(first.size(), 3);
        QStringList finishes;
        for (const QStringList &line : first) {
            QCOMPARE(line.at(csv::Finished), QStringLiteral("是"));
            finishes << line.at(csv::Finish);
        }
        finishes.sort();
        QCOMPARE(finishes, (QStringList{"交卷", "打完", "时间到"}));

        // A student of another computer presses start between the tests: it waits.
        auto early = room.join(QStringLiteral("4"));
        QVERIFY(QTest::qWaitFor([&] { return early->timings.size() == 1; }, 5000));
        early->pressStart();
        QTRY_COMPARE(room.console.anonymousCount(), 1);
        TestSetup changed = room.console.setup();
        changed.timeLimit = 2;
        QVERIFY(room.console.applySetup(changed).ok());
        QTest::qWait(100);
        QVERIFY(room.console.startTest(QStringLiteral("二")).ok());
        QTRY_VERIFY(early->gotText);
        QCOMPARE(early->timings.last(), QStringLiteral("2|3"));
        for (auto *student : {ender.get(), completer.get(), timed.get()}) {
            QTRY_COMPARE(student->timings.size(), 2);
            QCOMPARE(student->timings.last(), QStringLiteral("2|3"));
            QCOMPARE(student->texts, 1);
        }
        QCOMPARE(room.console.notStarted().size(), 3);
        QVERIFY(room.console.classLine().contains(QStringLiteral("未开始3人")));
        for (auto *student : {ender.get(), completer.get(), timed.get()}) {
            student->pressStart();
            QTRY_COMPARE(student->texts, 2);
            student->sendProgress(student->progress(1, 1, 1));
        }
        for (auto *student : {ender.get(), completer.get(), timed.get(), early.get()})
            QCOMPARE(student->textsWhileLocked, 0);
        QTRY_VERIFY(room.row("1").live && room.row("2").live && room.row("3").live);
        QCOMPARE(room.row("3").live->totalTime, 1);
        QVERIFY(!room.row("1").finished());
        QVERIFY(room.console.notStarted().isEmpty());
    }

    // At the class's time limit the test ends for everyone: the students still typing send
    // their last report (their own limit) and the test closes; one that never does is closed
    // with its last figures after the grace period.
    void testEndsAtItsLimitForTheClass()
    {
        ClassFixture room(1);
        QVERIFY(room.console.startTest(QStringLiteral("限时")).ok());
        QCOMPARE(room.console.countdownText(), QStringLiteral("剩余 1分0秒"));
        auto punctual = room.typing(QStringLiteral("1"));
        auto stuck = room.typing(QStringLiteral("2"));
        auto absentMinded = room.join(QStringLiteral("3"));
        punctual->sendProgress(punctual->progress(58, 30, 30));
        stuck->sendProgress(stuck->progress(58, 20, 20));
        QTRY_VERIFY(room.rowOf("2") >= 0 && room.row("2").live);
        room.skew = 61 * 1000;
        QTRY_VERIFY(room.console.collecting());
        QCOMPARE(room.console.countdownText(), QStringLiteral("时间到，等待最后的报告"));
        punctual->sendProgress(punctual->progress(60, 32, 31));
        QTRY_VERIFY(room.row("1").finished());
        QCOMPARE(room.row("1").finish, StudentRow::Finish::TimeUp);
        // The stuck student keeps reporting below the limit; the grace period ends it.
        stuck->sendProgress(stuck->progress(59, 21, 21));
        QVERIFY(room.console.testRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!room.console.testRunning(), 5000);
        QCOMPARE(room.row("2").finish, StudentRow::Finish::ClassTimeUp);
        QCOMPARE(room.row("2").final->totalTime, 59);
        // Start pressed after the limit gives nothing.
        const QList<QStringList> lines = csvLines(room.console.lastSavedPath());
        QCOMPARE(lines.size(), 2);
        QVERIFY(room.console.store().lastTest()->endReason == u"time-limit");
        Q_UNUSED(absentMinded);
    }

    // A console started again on the store goes on with the running test: the same settings go
    // to the students who reconnect, their rows and figures are back, a finished result stays.
    void restartOnTheSameStore()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("results.sqlite");
        quint16 port = 0;
        qint64 testId = 0;
        {
            ClassFixture room(2);
            QVERIFY(room.console.openStore(path).ok());
            QVERIFY(room.console.startTest(QStringLiteral("重启")).ok());
            testId = room.console.test()->id;
            auto done = room.typing(QStringLiteral("1"));
            auto going = room.typing(QStringLiteral("2"));
            done->sendEnd(done->progress(40, 30, 29));
            going->sendProgress(going->progress(41, 25, 25));
            QTRY_VERIFY(room.rowOf("2") >= 0 && room.row("2").live && room.row("1").finished());
            port = room.server.port();
        }
        ClassFixture again(7); // its own setup is replaced by the stored test's
        QVERIFY(again.console.openStore(path).ok());
        QVERIFY(again.console.testRunning());
        QCOMPARE(again.console.test()->id, testId);
        QCOMPARE(again.console.setup().timeLimit, 2);
        QCOMPARE(again.console.roster().size(), 2);
        QCOMPARE(again.row("1").final->right, 29);
        QCOMPARE(again.row("2").live->totalTime, 41);
        QCOMPARE(again.row("2").state, StudentRow::State::Gone);
        auto back = again.join(QStringLiteral("2"));
        QVERIFY(QTest::qWaitFor([&] { return back->timings.size() == 1; }, 5000));
        QCOMPARE(back->timings.first(), QStringLiteral("2|3"));
        back->textLength = ClassFixture::text().size();
        back->sendProgress(back->progress(42, 26, 26));
        auto doneBack = again.join(QStringLiteral("1"));
        doneBack->textLength = back->textLength;
        doneBack->sendEnd(doneBack->progress(50, 40, 40));
        QTRY_COMPARE(again.row("2").live->totalTime, 42);
        QTRY_COMPARE(again.console.roster().size(), 2);
        QCOMPARE(again.duplicateRowOf("2"), -1);
        QTest::qWait(200);
        QCOMPARE(again.row("1").final->right, 29);
        QVERIFY(again.console.endTest().ok());
        QCOMPARE(QDir(again.results.path()).entryList({"*.csv"}).size(), 1);
        Q_UNUSED(port);
    }
};

CLIENT_TEST(ClassLifeTest)
#include "tst_classlife.moc"
