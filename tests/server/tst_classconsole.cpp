// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "server/ResultsCsv.h"
#include "tests/server/ClassFixture.h"

#include <QSet>
#include <QSignalSpy>

namespace {

StudentRow::State stateOf(const ClassFixture &room, const QString &number)
{
    const int row = room.rowOf(number);
    return row >= 0 ? room.console.roster().at(row).state : StudentRow::State::Gone;
}

} // namespace

// The class console over real sockets, with simulated students: who a row is, what a report
// may change, and what the results keep.
class ClassConsoleTest : public QObject
{
    Q_OBJECT
private slots:
    // A class of 30 typing at once: each row shows what its student sent last, every report is
    // in the store, the results file holds every student once, finished.
    void thirtyStudentsTypingAtOnce()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest(QStringLiteral("三班 期中")).ok());
        QCOMPARE(room.console.testName(), QStringLiteral("三班_期中"));
        constexpr int kStudents = 30;
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        for (int i = 0; i < kStudents; ++i)
            students.push_back(room.join(QString::number(100 + i)));
        for (auto &s : students)
            QVERIFY(QTest::qWaitFor([&] { return s->timings.size() == 1; }, 10000));
        for (auto &s : students)
            s->pressStart();
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(students.cbegin(), students.cend(),
                                             [](const auto &s) { return s->gotText; }),
                                 10000);
        for (int second = 1; second <= 5; ++second) {
            for (int i = 0; i < kStudents; ++i) {
                const int typed = std::min(10, second * (1 + i % 3));
                students[i]->sendProgress(students[i]->progress(
                    second, typed, typed - (i % 2), i % 2 ? QStringLiteral("晓") : QString()));
            }
            QTest::qWait(20);
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(students.cbegin(), students.cend(),
                        [&room](const auto &s) {
                            const int row = room.rowOf(s->number);
                            const StudentRow &r = room.console.roster().at(row);
                            return row >= 0 && r.live && r.live->totalTime == 5;
                        }),
            10000);
        QCOMPARE(room.console.roster().size(), kStudents);
        for (const auto &student : students) {
            const StudentRow &row = room.row(student->number);
            QCOMPARE(protocol::progressReport(*row.live),
                     protocol::progressReport(student->lastProgress));
            QCOMPARE(row.computer, student->computer);
            QCOMPARE(row.state, StudentRow::State::Typing);
        }
        for (auto &student : students) {
            protocol::Report end = student->lastProgress;
            end.totalTime = 6;
            student->sendEnd(end);
        }
        QTRY_COMPARE_WITH_TIMEOUT(room.console.summary().finished, kStudents, 10000);
        for (const auto &student : students)
            QCOMPARE(room.console.store().reportCount(room.row(student->number).resultId), 6);
        QTRY_VERIFY(!room.console.lastSavedPath().isEmpty());
        const QString path = room.console.lastSavedPath();
        QCOMPARE(path, room.console.resultsPath());
        QVERIFY(path.endsWith(QStringLiteral("-三班_期中.csv")));
        QTRY_COMPARE(csvLines(path).size(), kStudents);
        QTRY_VERIFY([&path] {
            const QList<QStringList> lines = csvLines(path);
            return std::all_of(lines.cbegin(), lines.cend(),
                               [](const QStringList &l) { return l.at(csv::Finished) == u"是"; });
        }());
        QSet<QString> numbers;
        for (const QStringList &line : csvLines(path)) {
            numbers.insert(line.at(csv::Number));
            const auto &student =
                *std::find_if(students.cbegin(), students.cend(),
                              [&line](const auto &s) { return s->number == line.at(0); });
            QCOMPARE(line.at(csv::Time), QStringLiteral("6"));
            QCOMPARE(line.at(csv::Typed), QString::number(student->lastEnd.inputCount));
            QCOMPARE(line.at(csv::Right), QString::number(student->lastEnd.right));
            QCOMPARE(line.at(csv::Finish), QStringLiteral("交卷"));
        }
        QCOMPARE(numbers.size(), kStudents);
        const ClassSummary summary = room.console.summary();
        QCOMPARE(summary.mostMistyped.value(0).first, QStringLiteral("晓"));
        QCOMPARE(summary.mostMistyped.value(0).second, kStudents / 2);
    }

    // The table grades a row once it is finished, against the pass mark of the test running:
    // above both marks passes, below either fails, a roster student who never came is absent
    // once the test is over, and a changed mark applies from the next test on.
    void gradesInTheTable()
    {
        ClassFixture room;
        QVERIFY(room.console.setPassMark(30, 90).ok()); // below the default 40, 95 %
        QVERIFY(room.console
                    .setRoster({{"41", "王芳", "三班", ""},
                                {"42", "张伟", "三班", ""},
                                {"43", "刘洋", "三班", ""},
                                {"44", "陈静", "三班", ""}})
                    .ok());
        QVERIFY(room.console.startTest().ok());
        auto fast = room.typing(QStringLiteral("41"));
        auto slow = room.typing(QStringLiteral("42"));
        auto middle = room.typing(QStringLiteral("44"));
        const auto grade = [&room](const char *number) {
            return ClassRoster::cellText(
                room.row(number), ClassRoster::Grade, room.console.roster().testRunning(),
                room.console.roster().passSpeed(), room.console.roster().passAccuracy());
        };
        fast->sendProgress(fast->progress(30, 25, 25));
        QTRY_VERIFY(room.row("41").live.has_value());
        QCOMPARE(grade("41"), QString()); // still typing
        QCOMPARE(grade("43"), QString()); // may still come

        fast->sendEnd(fast->progress(60, 50, 48));     // 48 right a minute, 96 %
        slow->sendEnd(slow->progress(60, 30, 28));     // 28 a minute
        middle->sendEnd(middle->progress(60, 40, 36)); // 36 a minute, 90 %: only this mark
        QTRY_VERIFY(room.row("41").finished() && room.row("42").finished() &&
                    room.row("44").finished());
        QCOMPARE(grade("41"), QStringLiteral("合格"));
        QCOMPARE(grade("42"), QStringLiteral("不合格"));
        QCOMPARE(grade("44"), QStringLiteral("合格"));
        // The model shows the same text as the command-line server prints.
        const ClassRoster &roster = room.console.roster();
        QCOMPARE(roster.data(roster.index(room.rowOf("41"), ClassRoster::Grade)).toString(),
                 QStringLiteral("合格"));

        QVERIFY(room.console.endTest().ok());
        QCOMPARE(grade("43"), QStringLiteral("缺考"));

        // A stricter mark: this test's grades stay, the next test is graded by it.
        QVERIFY(room.console.setPassMark(60, 98).ok());
        QCOMPARE(roster.passSpeed(), 30);
        QVERIFY(room.console.startTest().ok());
        QCOMPARE(roster.passSpeed(), 60);
        QCOMPARE(roster.passAccuracy(), 98);
    }

    // Dropping out and coming back from the same computer keeps one row; the figures go on in
    // it, and an end report (which has no computer name) sent on the new connection lands there.
    void reconnectKeepsTheRow()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto student = room.typing(QStringLiteral("31"));
        student->sendProgress(student->progress(3, 2, 2));
        QTRY_VERIFY(room.rowOf("31") >= 0 && room.row("31").live.has_value());
        student->socket.disconnectFromHost();
        QTRY_COMPARE(stateOf(room, "31"), StudentRow::State::Gone);

        auto again = room.join(QStringLiteral("31"));
        again->textLength = student->textLength;
        QTRY_COMPARE(room.console.roster().size(), 2); // a new connection, not known yet
        again->sendProgress(again->progress(5, 4, 3, QStringLiteral("鸟")));
        QTRY_COMPARE(room.console.roster().size(), 1);
        const StudentRow &row = room.row("31");
        QCOMPARE(row.state, StudentRow::State::Typing);
        QVERIFY(row.connection > 0);
        QCOMPARE(row.live->totalTime, 5);
        QCOMPARE(again->duplicateNotices, 0);
        QVERIFY(room.console.log().join('\n').contains(QStringLiteral("重新连接")));
        auto third = room.join(QStringLiteral("31"));
        again->socket.disconnectFromHost();
        QTRY_COMPARE(stateOf(room, "31"), StudentRow::State::Gone);
        third->textLength = student->textLength;
        third->sendEnd(third->progress(6, 4, 3));
        QTRY_VERIFY(room.row("31").finished());
        QCOMPARE(room.row("31").finish, StudentRow::Finish::EndReport);
        QCOMPARE(room.console.roster().size(), 1);
        QCOMPARE(third->duplicateNotices, 0);
    }

    // A second connection claiming a number whose connection is alive gets "0011" and a row of
    // its own marked as a duplicate with both addresses, from another computer or the same;
    // the same computer gets the row back once the old connection has gone silent.
    void impostors_data()
    {
        QTest::addColumn<bool>("sameComputer");
        QTest::addColumn<bool>("ownerAnswers");
        QTest::addColumn<bool>("takesOver");
        QTest::newRow("another computer") << false << true << false;
        QTest::newRow("same computer, the first still there") << true << true << false;
        QTest::newRow("same computer, the first silent") << true << false << true;
    }
    void impostors()
    {
        QFETCH(bool, sameComputer);
        QFETCH(bool, ownerAnswers);
        QFETCH(bool, takesOver);
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto honest = room.typing(QStringLiteral("7"), QStringLiteral("PC07"));
        honest->sendProgress(honest->progress(1, 2, 2));
        QTRY_VERIFY(room.rowOf("7") >= 0 && room.row("7").live.has_value());
        const QString honestPeer = room.row("7").peer;
        if (!ownerAnswers) {
            // A connection that is gone without the server knowing: nothing comes back.
            disconnect(&honest->socket, &QTcpSocket::readyRead, nullptr, nullptr);
        }
        auto impostor =
            room.join(QStringLiteral("7"), sameComputer ? QStringLiteral("PC07") : "PC99");
        impostor->textLength = honest->textLength;
        QVERIFY(QTest::qWaitFor([&] { return impostor->timings.size() == 1; }, 5000));
        impostor->sendProgress(impostor->progress(2, 3, 3));
        if (ownerAnswers) {
            QTRY_COMPARE(impostor->duplicateNotices, 1);
            const int duplicate = room.duplicateRowOf("7");
            QVERIFY(duplicate >= 0);
            const StudentRow &row = room.console.roster().at(duplicate);
            QCOMPARE(row.peer.section(':', -1).toInt(), int(impostor->socket.localPort()));
            QCOMPARE(row.otherPeer, honestPeer);
            QCOMPARE(row.live->totalTime, 2);
            QVERIFY(row.duplicate());
            QVERIFY(room.console.roster()
                        .data(room.console.roster().index(duplicate, ClassRoster::Marks),
                              Qt::ToolTipRole)
                        .toString()
                        .contains(honestPeer));
            // The honest row is not touched, and its student hears nothing of it.
            QCOMPARE(room.row("7").live->totalTime, 1);
            QCOMPARE(honest->duplicateNotices, 0);
            // Once per connection, not with every report.
            impostor->sendProgress(impostor->progress(3, 4, 4));
            QTest::qWait(200);
            QCOMPARE(impostor->duplicateNotices, 1);
            // The honest student finishes; nobody changes that result afterwards.
            honest->sendEnd(honest->progress(20, 10, 9));
            QTRY_VERIFY(room.row("7").finished());
            protocol::Report fake = impostor->progress(1, 57, 57);
            impostor->sendEnd(fake);
            QTRY_VERIFY(room.console.roster().at(room.duplicateRowOf("7")).finished());
            QCOMPARE(room.row("7").final->right, 9);
            QCOMPARE(room.row("7").final->totalTime, 20);
            const StudentRow &dup = room.console.roster().at(room.duplicateRowOf("7"));
            QVERIFY(dup.flags & StudentRow::TooFast);
            // The summary counts the honest student only.
            QCOMPARE(room.console.summary().students, 1);
            QCOMPARE(room.console.summary().leftOut, 1);
        } else {
            // The old connection was asked and did not answer: the student is back.
            QTRY_VERIFY_WITH_TIMEOUT(room.row("7").live->totalTime == 2, 5000);
            QCOMPARE(impostor->duplicateNotices, 0);
            QCOMPARE(room.duplicateRowOf("7"), -1);
            QCOMPARE(room.console.roster().size(), 1);
            QCOMPARE(room.row("7").peer.section(':', -1).toInt(),
                     int(impostor->socket.localPort()));
            // The silent connection is closed, so nothing of it can come back later.
            QTRY_COMPARE(honest->socket.state(), QAbstractSocket::UnconnectedState);
        }
        QCOMPARE(takesOver, !ownerAnswers);
    }

    // The teacher's decisions on a duplicate.
    void decisions_data()
    {
        QTest::addColumn<int>("decision");
        QTest::addColumn<int>("keptTime");   // the figures of the one row left
        QTest::addColumn<bool>("firstOpen"); // the first connection still connected
        QTest::addColumn<bool>("secondOpen");
        QTest::newRow("keep the first")
            << int(ClassConsole::Decision::KeepFirst) << 4 << true << false;
        QTest::newRow("keep the second")
            << int(ClassConsole::Decision::KeepSecond) << 9 << false << true;
        QTest::newRow("merge: the later attempt's figures, the second's connection")
            << int(ClassConsole::Decision::Merge) << 9 << false << true;
    }
    void decisions()
    {
        QFETCH(int, decision);
        QFETCH(bool, firstOpen);
        QFETCH(bool, secondOpen);
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto first = room.typing(QStringLiteral("8"), QStringLiteral("PC08"));
        first->sendProgress(first->progress(4, 3, 3));
        QTRY_VERIFY(room.rowOf("8") >= 0 && room.row("8").live);
        auto second = room.typing(QStringLiteral("8"), QStringLiteral("PC18"));
        second->sendProgress(second->progress(9, 5, 5));
        QTRY_VERIFY(room.duplicateRowOf("8") >= 0 &&
                    room.console.roster().at(room.duplicateRowOf("8")).live);
        const qint64 secondResult = room.console.roster().at(room.duplicateRowOf("8")).resultId;
        QVERIFY(
            room.console.decideDuplicate(room.duplicateRowOf("8"), ClassConsole::Decision(decision))
                .ok());
        QCOMPARE(room.console.roster().size(), 1);
        QCOMPARE(room.duplicateRowOf("8"), -1);
        QTEST(room.row("8").live->totalTime, "keptTime");
        QTRY_COMPARE(first->socket.state() == QAbstractSocket::ConnectedState, firstOpen);
        QTRY_COMPARE(second->socket.state() == QAbstractSocket::ConnectedState, secondOpen);
        // The results file has one line for the student; the store still has both results.
        QVERIFY(room.console.saveResults().ok());
        QCOMPARE(csvLines(room.console.lastSavedPath()).size(), 1);
        QCOMPARE(room.console.store().reportCount(secondResult), 1);
        QVERIFY(!room.console.decideDuplicate(0, ClassConsole::Decision::Merge).ok());
    }

    // Figures no typist reaches are stored, marked and left out of the summary; identities
    // nobody can have are refused; control characters never reach the list or the log.
    void absurdFigures_data()
    {
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("end");
        QTest::addColumn<int>("flags");
        const int text = ClassFixture::text().size();
        QTest::newRow("32767 right in 1 s") << 1 << 32767 << 32767 << 32767 << false
                                            << int(StudentRow::TooFast | StudentRow::WrongText);
        QTest::newRow("57 right at 0 s")
            << 0 << text << 57 << 57 << true << int(StudentRow::TooFast);
        QTest::newRow("30000 typed of the text")
            << 600 << text << 30000 << 50 << false << int(StudentRow::OverTyped);
        QTest::newRow("another text")
            << 30 << 99 << 20 << 20 << false << int(StudentRow::WrongText);
        QTest::newRow("a phrase at 1 s is honest") << 1 << text << 20 << 20 << false << 0;
        QTest::newRow("the last word past the end is honest")
            << 60 << text << text + 3 << text << false << 0;
    }
    void absurdFigures()
    {
        QFETCH(int, time);
        QFETCH(int, count);
        QFETCH(int, typed);
        QFETCH(int, right);
        QFETCH(bool, end);
        QFETCH(int, flags);
        ClassFixture room(0);
        QVERIFY(room.console.startTest().ok());
        auto honest = room.typing(QStringLiteral("1"));
        honest->sendProgress(honest->progress(60, 30, 30));
        auto odd = room.typing(QStringLiteral("2"));
        protocol::Report report = odd->progress(time, typed, right);
        report.txtCount = count;
        if (end)
            odd->sendEnd(report);
        else
            odd->sendProgress(report);
        QTRY_VERIFY(room.rowOf("2") >= 0 && room.row("2").figures() && room.rowOf("1") >= 0 &&
                    room.row("1").live);
        QCOMPARE(room.row("2").flags & StudentRow::FigureFlags, flags);
        QCOMPARE(room.console.store().reportCount(room.row("2").resultId), 1);
        const ClassSummary summary = room.console.summary();
        QCOMPARE(summary.students, flags ? 1 : 2);
        QCOMPARE(summary.leftOut, flags ? 1 : 0);
        QCOMPARE(room.console.speeds().size(), flags ? 1 : 2);
    }
    void timeGoingBackwardsIsMarked()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto student = room.typing(QStringLiteral("3"));
        student->sendProgress(student->progress(40, 20, 20));
        QTRY_VERIFY(room.rowOf("3") >= 0 && room.row("3").live);
        student->sendProgress(student->progress(12, 22, 22));
        QTRY_VERIFY(room.row("3").flags & StudentRow::TimeBackwards);
        // Start pressed again is a new attempt: its time starts at 0 and nothing is marked.
        auto other = room.typing(QStringLiteral("4"));
        other->sendProgress(other->progress(40, 20, 20));
        QTRY_VERIFY(room.rowOf("4") >= 0 && room.row("4").live);
        other->gotText = false;
        other->pressStart();
        QTRY_VERIFY(other->gotText);
        other->sendProgress(other->progress(1, 1, 1));
        QTRY_COMPARE(room.row("4").live->totalTime, 1);
        QCOMPARE(room.row("4").flags, 0);
    }
    void identitiesNobodyHas()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto student = room.typing(QStringLiteral("5"));
        protocol::Report report = student->progress(2, 1, 1);
        report.xuehao = QString(4000, u'9');
        student->sendProgress(report);
        QTRY_VERIFY(room.console.log().join('\n').contains(QStringLiteral("超过32个字符")));
        QCOMPARE(room.rowOf(report.xuehao), -1);
        report.xuehao = QStringLiteral("5");
        report.name = QStringLiteral("李\x1b[2J\a明\r");
        student->sendProgress(report);
        QTRY_VERIFY(room.rowOf("5") >= 0);
        const QString name = room.row("5").name;
        QCOMPARE(name, QStringLiteral("李\uFFFD[2J\uFFFD明\uFFFD"));
        for (const QString &line : room.console.log())
            for (QChar c : line)
                QVERIFY2(c.unicode() >= 0x20, qPrintable(line));
    }

    // Garbage, reports with wrong fields or figures that do not add up, and a flood: logged
    // against the row, counted, ignored; the next good report still counts.
    void badInputIsLoggedAndIgnored()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto student = room.typing(QStringLiteral("9"));
        QTRY_COMPARE(room.console.roster().size(), 1);
        student->send(QStringLiteral("1099|9|名|班|1|10|5|5|0|ime|PC9")); // 11 fields
        student->send(QStringLiteral("xyz"));
        QTRY_VERIFY(room.console.roster().at(0).problems >= 1);
        protocol::Report impossible = student->progress(2, 3, 5);
        student->send(protocol::progressReport(impossible));
        QTRY_VERIFY(room.console.roster().at(0).lastProblem.contains(QStringLiteral("正确字数")));
        QVERIFY(!room.console.roster().at(0).live.has_value());
        const qsizetype logBefore = room.console.log().size();
        QByteArray flood;
        for (int i = 0; i < 300; ++i) {
            flood += "junk!";
            flood += gbk::encode(protocol::progressReport(impossible)).bytes;
        }
        student->socket.write(flood);
        student->socket.flush();
        student->sendProgress(student->progress(3, 2, 2));
        QTRY_VERIFY_WITH_TIMEOUT(room.rowOf("9") >= 0 && room.row("9").live.has_value(), 10000);
        QCOMPARE(room.row("9").live->totalTime, 3);
        const int problems = room.row("9").problems;
        QVERIFY2(problems > 300, qPrintable(QString::number(problems)));
        QVERIFY2(room.console.log().size() - logBefore < 40,
                 qPrintable(QString::number(room.console.log().size() - logBefore)));
        // One connection is one student: a report of another number on it is refused.
        student->sendEnd(student->progress(4, 2, 2));
        protocol::Report other = student->progress(5, 2, 2);
        other.xuehao = QStringLiteral("10");
        student->sendEnd(other);
        QTRY_VERIFY(room.row("9").finished());
        QTest::qWait(100);
        QCOMPARE(room.rowOf("10"), -1);
    }

    void messagesGoToAllOrToTheSelected()
    {
        ClassFixture room;
        QVERIFY(room.console.startTest().ok());
        auto a = room.typing(QStringLiteral("1"));
        auto b = room.typing(QStringLiteral("2"));
        auto c = room.typing(QStringLiteral("3"));
        for (auto *s : {a.get(), b.get(), c.get()})
            s->sendProgress(s->progress(1, 0, 0));
        QTRY_VERIFY(room.rowOf("1") >= 0 && room.rowOf("2") >= 0 && room.rowOf("3") >= 0);
        int sent = 0;
        QVERIFY(room.console
                    .sendMessage(QStringLiteral("第二题"), room.console.rowsOfNumbers({"2"}), &sent)
                    .ok());
        QCOMPARE(sent, 1);
        QTRY_COMPARE(b->messages, QStringList{QStringLiteral("第二题")});
        QVERIFY(room.console.sendMessage(QStringLiteral("还有一分钟"), {}, &sent).ok());
        QCOMPARE(sent, 3);
        QTRY_VERIFY(a->messages.contains(QStringLiteral("还有一分钟")));
        QTRY_VERIFY(c->messages.contains(QStringLiteral("还有一分钟")));
        QCOMPARE(a->messages.size(), 1);
        QVERIFY(!room.console.sendMessage(QString(), {}).ok());
        QVERIFY(!room.console.sendMessage(QStringLiteral("\U0001F600"), {}).ok());
    }

    // A results file that cannot be written is reported with its path; nothing is claimed
    // saved; once the folder can be written the same results are saved from the store.
    void unwritableResultsAreReported()
    {
        ClassFixture room;
        QFile blocker(room.results.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        room.console.setResultsFolder(room.results.filePath("blocker/results"));
        QSignalSpy failed(&room.console, &ClassConsole::resultsFailed);
        QVERIFY(room.console.startTest().ok());
        auto student = room.typing(QStringLiteral("5"));
        student->sendEnd(student->progress(9, 10, 10));
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains(room.results.filePath("blocker")));
        QVERIFY(room.console.lastSavedPath().isEmpty());
        QVERIFY(!room.console.saveResults().ok());
        room.console.setResultsFolder(room.results.filePath("good"));
        QVERIFY(room.console.saveResults().ok());
        QCOMPARE(csvLines(room.console.lastSavedPath()).size(), 1);
        // After the end the same test is still exported.
        QVERIFY(room.console.endTest().ok());
        QVERIFY(room.console.saveResults().ok());
        QCOMPARE(csvLines(room.console.lastSavedPath()).size(), 1);
    }
};

CLIENT_TEST(ClassConsoleTest)
#include "tst_classconsole.moc"
