// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "server/ClassSummary.h"
#include "server/ReportCheck.h"
#include "server/ResultsCsv.h"
#include "server/RosterFile.h"
#include "server/TestSetup.h"
#include "tests/server/ClassFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

protocol::Report makeReport(const QString &number, int time, int count, int typed, int right,
                            const QString &errors = {}, const QString &computer = {})
{
    protocol::Report report;
    report.xuehao = number;
    report.name = QStringLiteral("学生") + number;
    report.banji = QStringLiteral("三班");
    report.totalTime = time;
    report.txtCount = count;
    report.inputCount = typed;
    report.right = right;
    report.backspaces = 1;
    report.inputMethod = QStringLiteral("英语（美国）");
    report.computer = computer.isEmpty() ? QStringLiteral("PC") + number : computer;
    report.errChars = errors;
    return report;
}

StudentRow rowWith(const protocol::Report &live, bool finished = false)
{
    StudentRow row;
    row.xuehao = live.xuehao;
    row.name = live.name;
    row.banji = live.banji;
    row.computer = live.computer;
    row.inputMethod = live.inputMethod;
    row.live = live;
    row.state = StudentRow::State::Typing;
    if (finished) {
        row.final = live;
        row.finish = StudentRow::Finish::EndReport;
        row.state = StudentRow::State::Finished;
    }
    return row;
}

} // namespace

class ClassSummaryTest : public QObject
{
    Q_OBJECT
private slots:
    void figures_data()
    {
        // Speeds come from right characters and seconds: right * 60 / time.
        QTest::addColumn<QList<int>>("rights"); // per student, 60 seconds, 100 typed
        QTest::addColumn<QString>("text");
        QTest::newRow("nobody") << QList<int>{}
                                << "0人，已结束0人 | 速度 平均- 中位- 字/分 | 正确率 平均- 中位- | "
                                   "常错字：-";
        QTest::newRow("odd count: middle value")
            << QList<int>{10, 90, 50}
            << "3人，已结束0人 | 速度 平均50.0 中位50.0 字/分 | 正确率 平均50 中位50 | 常错字：-";
        QTest::newRow("even count: mean of the two middle values")
            << QList<int>{10, 20, 30, 100}
            << "4人，已结束0人 | 速度 平均40.0 中位25.0 字/分 | 正确率 平均40 中位25 | 常错字：-";
    }
    void figures()
    {
        QFETCH(QList<int>, rights);
        QList<StudentRow> rows;
        for (int i = 0; i < rights.size(); ++i)
            rows << rowWith(makeReport(QString::number(i + 1), 60, 200, 100, rights.at(i)));
        // Rows without identity or figures do not count.
        rows << StudentRow{};
        QTEST(ClassSummary::of(rows).text(), "text");
    }

    // Marked figures, duplicates and students not on the roster are counted apart and leave
    // the means alone; absent students are counted.
    void leftOutAndAbsent()
    {
        QList<StudentRow> rows = {rowWith(makeReport("1", 60, 200, 100, 50))};
        for (int flag : {int(StudentRow::TooFast), int(StudentRow::Duplicate),
                         int(StudentRow::NotOnRoster), int(StudentRow::TimeBackwards)}) {
            StudentRow odd = rowWith(makeReport(QString::number(flag), 60, 200, 200, 200), true);
            odd.flags = flag;
            rows << odd;
        }
        StudentRow dismissed = rowWith(makeReport("99", 60, 200, 200, 200), true);
        dismissed.flags = StudentRow::Duplicate | StudentRow::Dismissed;
        rows << dismissed;
        StudentRow absent;
        absent.xuehao = QStringLiteral("40");
        absent.state = StudentRow::State::Absent;
        rows << absent;
        const ClassSummary summary = ClassSummary::of(rows);
        QCOMPARE(summary.students, 1);
        QCOMPARE(summary.leftOut, 4);
        QCOMPARE(summary.absent, 1);
        QCOMPARE(summary.text(),
                 QStringLiteral("1人，已结束0人，缺席1人，4人未计入（有标记） | 速度 "
                                "平均50.0 中位50.0 字/分 | 正确率 平均50 中位50 | "
                                "常错字：-"));
    }

    void mostMistypedCountsStudents()
    {
        QList<StudentRow> rows = {rowWith(makeReport("1", 10, 9, 9, 5, "的是人")),
                                  rowWith(makeReport("2", 10, 9, 9, 5, "是的")),
                                  rowWith(makeReport("3", 10, 9, 9, 5, "是\U00020000")),
                                  rowWith(makeReport("4", 10, 9, 9, 9), true)};
        const ClassSummary summary = ClassSummary::of(rows, 3);
        QCOMPARE(summary.students, 4);
        QCOMPARE(summary.finished, 1);
        QCOMPARE(summary.mostMistyped.size(), 3);
        QCOMPARE(summary.mostMistyped.at(0), (QPair<QString, int>{"是", 3}));
        QCOMPARE(summary.mostMistyped.at(1), (QPair<QString, int>{"的", 2}));
        // Ties keep the order of first appearance; a character outside the basic plane is one.
        QCOMPARE(summary.mostMistyped.at(2), (QPair<QString, int>{"人", 1}));
        QCOMPARE(ClassSummary::of(rows, 10).mostMistyped.last(),
                 (QPair<QString, int>{QStringLiteral("\U00020000"), 1}));
    }

    void histogram()
    {
        const QList<double> speeds = {0, 9.99, 10, 25, 1000, -3, qQNaN()};
        QCOMPARE(ClassSummary::histogram(speeds, 10, 4), (QList<int>{2, 1, 1, 1}));
        QCOMPARE(ClassSummary::histogram(speeds, 0, 3), (QList<int>{0, 0, 0}));
    }
};

class ResultsCsvTest : public QObject
{
    Q_OBJECT
private slots:
    void field_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "李明"
                               << "李明";
        QTest::newRow("separator") << "a,b"
                                   << "\"a,b\"";
        QTest::newRow("quote") << "a\"b"
                               << "\"a\"\"b\"";
        QTest::newRow("line break") << "a\nb"
                                    << "\"a\nb\"";
        QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                                 << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("at sign") << "@SUM(A1)"
                                 << "\"'@SUM(A1)\"";
        QTest::newRow("negative number stays a number") << "-5"
                                                        << "-5";
        QTest::newRow("empty") << ""
                               << "";
    }
    void field()
    {
        QFETCH(QString, text);
        QTEST(resultscsv::field(text), "field");
    }

    void fileHasMarkHeaderAndOneLinePerStudent()
    {
        QList<StudentRow> rows = {rowWith(makeReport("31", 65, 300, 120, 118, "的是"), false),
                                  rowWith(makeReport("32", 60, 300, 300, 300), true), StudentRow{}};
        rows[1].final->backspaces = 7;
        rows[1].finish = StudentRow::Finish::Completed;
        StudentRow absent;
        absent.xuehao = QStringLiteral("33");
        absent.name = QStringLiteral("王芳");
        absent.onRoster = true;
        rows << absent;
        StudentRow dismissed = rowWith(makeReport("34", 1, 300, 300, 300), true);
        dismissed.flags = StudentRow::Duplicate | StudentRow::Dismissed;
        rows << dismissed;
        rows[0].flags = StudentRow::TooFast;
        const QByteArray bytes = resultscsv::build(rows);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 5); // header, three students, the empty rest after the last CRLF
        QVERIFY(lines.at(0).startsWith(QStringLiteral("学号,姓名,班级")));
        QCOMPARE(lines.at(1), QStringLiteral("31,学生31,三班,PC31,英语（美国）,测试中,,65,300,120,"
                                             "118,1,108.9,98,的是,速度过快,否,待定"));
        QCOMPARE(lines.at(2), QStringLiteral("32,学生32,三班,PC32,英语（美国）,已结束,打完,60,300,"
                                             "300,300,7,300.0,100,,,是,合格"));
        QCOMPARE(lines.at(3), QStringLiteral("33,王芳,,,,缺席,,,,,,,,,,,否,缺考"));
        QCOMPARE(lines.at(4), QString());
    }

    void unwritablePathIsNamed()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = dir.filePath("file/sub/results.csv");
        const Status status = resultscsv::write(path, {});
        QVERIFY(!status.ok());
        QVERIFY2(status.error.contains(dir.filePath("file/sub")), qPrintable(status.error));
        QVERIFY(!QFile::exists(path));
    }
};

class TestSetupTest : public QObject
{
    Q_OBJECT
private slots:
    void messages_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("textMessage");
        QTest::newRow("plain, line breaks dropped")
            << int(TestSetup::Kind::Plain) << "春眠\r\n不觉晓"
            << "0010春眠不觉晓";
        QTest::newRow("words joined by one blank")
            << int(TestSetup::Kind::Words) << " 中国\n人民  学习 "
            << "0010<cz>中国 人民 学习";
        QTest::newRow("root practice") << int(TestSetup::Kind::RootPractice) << "ignored"
                                       << "0010<zg>2/30";
    }
    void messages()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        TestSetup setup;
        setup.kind = TestSetup::Kind(kind);
        setup.text = text;
        setup.rootZone = 2;
        setup.rootCount = 30;
        setup.timeLimit = 10;
        setup.hintDelay = 3;
        setup.inputMethodRule = QStringLiteral("五笔");
        setup.rootsAllowed = false;
        setup.forbidden = QStringLiteral("记事本|计算器");
        TestScript script;
        QVERIFY(setup.applyTo(script).ok());
        QTEST(script.textMessage().value_or(QString()), "textMessage");
        QCOMPARE(script.environmentMessage(), QStringLiteral("010001记事本|计算器"));
        QCOMPARE(script.inputMethodsMessage(), QStringLiteral("0009五笔"));
        QCOMPARE(script.timingMessage(), QStringLiteral("000810|3"));
        const TestSetup back = TestSetup::from(script);
        QCOMPARE(back.body(), setup.body());
        QCOMPARE(back.forbidden, setup.forbidden);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<QString>("rule");
        QTest::newRow("empty text") << "\r\n" << 0 << 0 << "不限制";
        QTest::newRow("blanks only") << " \u3000 " << 0 << 0 << "不限制";
        QTest::newRow("text over the limit") << QString(32768, u'字') << 0 << 0 << "不限制";
        QTest::newRow("unencodable") << QStringLiteral("笑\U0001F600") << 0 << 0 << "不限制";
        QTest::newRow("root zone") << "<zg>" << 6 << 0 << "不限制";
        QTest::newRow("time limit") << "字" << 0 << 40000 << "不限制";
        QTest::newRow("empty rule") << "字" << 0 << 0 << "";
    }
    void refused()
    {
        QFETCH(QString, text);
        QFETCH(int, zone);
        QFETCH(int, timeLimit);
        QFETCH(QString, rule);
        TestSetup setup;
        setup.kind = text == u"<zg>" ? TestSetup::Kind::RootPractice : TestSetup::Kind::Plain;
        setup.text = text;
        setup.rootZone = zone;
        setup.timeLimit = timeLimit;
        setup.inputMethodRule = rule;
        TestScript script;
        QVERIFY(script.apply(QStringLiteral("text 原来的"), QDir()).ok());
        const Status status = setup.applyTo(script);
        QVERIFY(!status.ok());
        QVERIFY(!status.error.isEmpty());
        QCOMPARE(script.textMessage(), QStringLiteral("0010原来的"));
    }
    void exactlyTheLimitIsTaken()
    {
        TestSetup setup;
        setup.text = QString(TestSetup::kMaxTextLength, u'字');
        TestScript script;
        QVERIFY(setup.applyTo(script).ok());
    }

    void textFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("text");
        const QByteArray gbkBytes = gbk::encode(QStringLiteral("中国\r\n人民")).bytes;
        QTest::newRow("GBK found") << gbkBytes << int(TestSetup::FileEncoding::Auto) << "中国人民";
        QTest::newRow("UTF-8 found") << QStringLiteral("中国\n人民").toUtf8()
                                     << int(TestSetup::FileEncoding::Auto) << "中国人民";
        QTest::newRow("mark dropped") << QByteArray("\xEF\xBB\xBF") + QStringLiteral("中").toUtf8()
                                      << int(TestSetup::FileEncoding::Auto) << "中";
        QTest::newRow("GBK as asked")
            << gbkBytes << int(TestSetup::FileEncoding::Gbk) << "中国人民";
    }
    void textFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QTemporaryDir dir;
        QFile file(dir.filePath("t.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString text;
        QVERIFY(TestSetup::readTextFile(file.fileName(), TestSetup::FileEncoding(encoding),
                                        TestSetup::Kind::Plain, text)
                    .ok());
        QTEST(text, "text");
        QVERIFY(!TestSetup::readTextFile(dir.filePath("missing.txt"), TestSetup::FileEncoding::Auto,
                                         TestSetup::Kind::Plain, text)
                     .ok());
    }
};

// The results store: versions and migrations, one console at a time, and what a result reads
// back as.
class ResultsStoreTest : public QObject
{
    Q_OBJECT
private slots:
    void newStoreIsAtTheCurrentVersionInWalMode()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sub/results.sqlite");
        ResultsStore store;
        QVERIFY2(store.open(path).ok(), qPrintable(store.open(path).error));
        QVERIFY(QFile::exists(path));
        // The folder and the file are the teacher's only.
        QCOMPARE(QFileInfo(dir.filePath("sub")).permissions() &
                     (QFile::ReadOther | QFile::ReadGroup),
                 QFileDevice::Permissions());
        store.close();
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "probe");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QCOMPARE(storeschema::version(db), storeschema::currentVersion());
        QSqlQuery mode(db);
        QVERIFY(mode.exec("PRAGMA journal_mode") && mode.next());
        QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));
        db.close();
        db = {};
        QSqlDatabase::removeDatabase("probe");
    }

    // A later version's step runs on a store of the first version and keeps its data; a step
    // that fails leaves the store at the version before; a store newer than the program is
    // left alone.
    void migrations()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("results.sqlite");
        {
            ResultsStore store;
            QVERIFY(store.open(path).ok());
            StoredTest test;
            test.name = "一";
            test.startedAt = 1000;
            test.setup.text = "春眠";
            QVERIFY(store.beginTest(test).ok());
        }
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "migrate");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        const int next = storeschema::currentVersion() + 1;
        QList<storeschema::Migration> steps = storeschema::migrations();
        steps << storeschema::Migration{
            next, {"ALTER TABLE tests ADD COLUMN term VARCHAR(20)", "UPDATE tests SET term = 'x'"}};
        QList<storeschema::Migration> broken = steps;
        broken << storeschema::Migration{
            next + 1, {"ALTER TABLE tests ADD COLUMN grade INTEGER", "THIS IS NOT SQL"}};
        const Status failed = storeschema::migrate(db, storeschema::Dialect::Sqlite, broken);
        QVERIFY(!failed.ok());
        QVERIFY2(failed.error.contains(QStringLiteral("版本%1").arg(next + 1)),
                 qPrintable(failed.error));
        // The next version went in, the one after not at all (its first statement rolled back
        // too).
        QCOMPARE(storeschema::version(db), next);
        QSqlQuery query(db);
        QVERIFY(query.exec("SELECT name, term FROM tests") && query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("一"));
        QCOMPARE(query.value(1).toString(), QStringLiteral("x"));
        QVERIFY(!query.exec("SELECT grade FROM tests"));
        QVERIFY(query.exec("UPDATE store_schema SET version = 99"));
        db.close();
        db = {};
        QSqlDatabase::removeDatabase("migrate");
        ResultsStore newer;
        const Status refused = newer.open(path);
        QVERIFY(!refused.ok());
        QVERIFY2(refused.error.contains("99"), qPrintable(refused.error));
    }

    void oneConsoleAtATime()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("results.sqlite");
        ResultsStore first;
        QVERIFY(first.open(path).ok());
        ResultsStore second;
        const Status refused = second.open(path);
        QVERIFY(!refused.ok());
        QVERIFY2(refused.error.contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(refused.error));
        first.close();
        QVERIFY(second.open(path).ok());
    }

    // A running result reads back with its last progress report's figures, a finished one with
    // the figures it finished with and the error characters of its last progress report.
    void resultsReadBack()
    {
        ResultsStore store;
        QVERIFY(store.open(QString::fromUtf16(ResultsStore::kMemory)).ok());
        StoredTest test;
        test.name = "t";
        test.startedAt = 5000;
        test.setup.text = "春眠不觉晓";
        test.setup.timeLimit = 2;
        const Status begun = store.beginTest(test);
        QVERIFY2(begun.ok(), qPrintable(begun.error));
        QCOMPARE(store.runningTest()->setup.timeLimit, 2);
        StudentRow running = rowWith(makeReport("1", 3, 5, 2, 2));
        QVERIFY(store.saveResult(test.id, running).ok());
        QVERIFY(running.resultId > 0);
        store.appendReport(running.resultId, makeReport("1", 3, 5, 2, 2, "眠"), true, 0);
        store.appendReport(running.resultId, makeReport("1", 4, 5, 3, 2, "眠觉"), true,
                           StudentRow::TooFast);
        StudentRow done = rowWith(makeReport("2", 9, 5, 5, 4), true);
        done.finish = StudentRow::Finish::TimeUp;
        QVERIFY(store.saveResult(test.id, done).ok());
        store.appendReport(done.resultId, makeReport("2", 8, 5, 5, 4, "晓"), true, 0);
        store.appendReport(done.resultId, makeReport("2", 9, 5, 5, 4), false, 0);
        QCOMPARE(store.pendingReports(), 4);
        const QList<StudentRow> rows = store.results(test.id);
        QCOMPARE(store.pendingReports(), 0);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).live->totalTime, 4);
        QCOMPARE(rows.at(0).errChars(), QStringLiteral("眠觉"));
        QVERIFY(!rows.at(0).finished());
        QCOMPARE(rows.at(1).finish, StudentRow::Finish::TimeUp);
        QCOMPARE(rows.at(1).final->totalTime, 9);
        QCOMPARE(rows.at(1).errChars(), QStringLiteral("晓"));
        QCOMPARE(store.reportCount(done.resultId), 2);
        QVERIFY(store.endTest(test.id, 9000, "teacher").ok());
        QVERIFY(!store.runningTest());
        QCOMPARE(store.lastTest()->endedAt, 9000);
    }

    void rosterRoundTrip()
    {
        ResultsStore store;
        QVERIFY(store.open(QString::fromUtf16(ResultsStore::kMemory)).ok());
        const QList<RosterEntry> entries = {{"2", "王芳", "三班", ""},
                                            {"1", "李明", "三班", "PC01"}};
        QVERIFY(store.saveRoster(entries).ok());
        QCOMPARE(store.roster().size(), 2);
        QCOMPARE(store.roster().at(0).name, QStringLiteral("王芳"));
        QCOMPARE(store.roster().at(1).computer, QStringLiteral("PC01"));
        QVERIFY(store.saveRoster({entries.at(1)}).ok());
        QCOMPARE(store.roster().size(), 1);
    }
};

// Class rosters as spreadsheet programs save them.
class RosterFileTest : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("students"); // number name class computer, "|" between
        QTest::addColumn<int>("skipped");
        const QString plain =
            QStringLiteral("学号,姓名,班级,计算机\r\n31,李明,三班,PC01\r\n32,王芳,三班,\r\n");
        const QStringList both = {"31|李明|三班|PC01", "32|王芳|三班|"};
        QTest::newRow("UTF-8 with a mark")
            << QByteArray("\xEF\xBB\xBF") + plain.toUtf8() << both << 0;
        QTest::newRow("UTF-8") << plain.toUtf8() << both << 0;
        QTest::newRow("GBK") << gbk::encode(plain).bytes << both << 0;
        QByteArray utf16("\xFF\xFE");
        const QString tabs = QString(plain).replace(u',', u'\t');
        utf16.append(reinterpret_cast<const char *>(tabs.utf16()), tabs.size() * 2);
        QTest::newRow("Unicode text: UTF-16, tabs") << utf16 << both << 0;
        QTest::newRow("semicolons, no header, no computer")
            << QByteArray("31;Li Ming;3\n32;Wang;3\n") << QStringList{"31|Li Ming|3|", "32|Wang|3|"}
            << 0;
        QTest::newRow("header in another order, quotes")
            << QStringLiteral("班级,姓名,学号\n三班,\"李,明\",31\n三班,\"王\"\"芳\",32\n").toUtf8()
            << QStringList{"31|李,明|三班|", "32|王\"芳|三班|"} << 0;
        QTest::newRow("empty lines, a repeated number, no number, no name")
            << QStringLiteral("31,李明,三班\n,,\n31,李四,三班\n,无号,三班\n33,,三班\n34,张三,三班")
                   .toUtf8()
            << QStringList{"31|李明|三班|", "34|张三|三班|"} << 3;
        QTest::newRow("control characters in a name")
            << QByteArray("35,A\x1b"
                          "B,3\n")
            << QStringList{QStringLiteral("35|A\uFFFDB|3|")} << 0;
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, students);
        QFETCH(int, skipped);
        const rosterfile::Roster roster = rosterfile::parse(bytes);
        QStringList got;
        for (const RosterEntry &e : roster.entries)
            got << QStringList{e.xuehao, e.name, e.banji, e.computer}.join(u'|');
        QCOMPARE(got, students);
        QCOMPARE(roster.skipped.size(), skipped);
    }
    void unreadableOrEmptyFile()
    {
        QTemporaryDir dir;
        rosterfile::Roster roster;
        QVERIFY(!rosterfile::read(dir.filePath("missing.csv"), roster).ok());
        QFile empty(dir.filePath("empty.csv"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.write("学号,姓名\n");
        empty.close();
        const Status status = rosterfile::read(empty.fileName(), roster);
        QVERIFY(!status.ok());
        QVERIFY(status.error.contains("没有学生"));
    }
};

// What a report may be: refused, taken, or taken and marked.
class ReportCheckTest : public QObject
{
    Q_OBJECT
private slots:
    void refusal_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("refused");
        QTest::newRow("honest") << "31" << 5 << 4 << false;
        QTest::newRow("no number") << " " << 5 << 4 << true;
        QTest::newRow("33-character number") << QString(33, u'1') << 5 << 4 << true;
        QTest::newRow("more right than typed") << "31" << 4 << 5 << true;
        QTest::newRow("negative") << "31" << -1 << 0 << true;
    }
    void refusal()
    {
        QFETCH(QString, number);
        QFETCH(int, typed);
        QFETCH(int, right);
        QFETCH(bool, refused);
        QCOMPARE(!reportcheck::refusal(makeReport(number, 10, 300, typed, right), false).isEmpty(),
                 refused);
    }
    void speedBound_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("tooFast");
        // 30 at once, then 10 a second.
        QTest::newRow("30 at 0 s") << 0 << 30 << false;
        QTest::newRow("31 at 0 s") << 0 << 31 << true;
        QTest::newRow("600 a minute") << 60 << 630 << false;
        QTest::newRow("above") << 60 << 631 << true;
        QTest::newRow("a fast class at 250 a minute") << 600 << 2500 << false;
    }
    void speedBound()
    {
        QFETCH(int, seconds);
        QFETCH(int, right);
        QFETCH(bool, tooFast);
        const int flags =
            reportcheck::flags(makeReport("1", seconds, 30000, right, right), 30000, -1);
        QCOMPARE(bool(flags & StudentRow::TooFast), tooFast);
    }
    void cleaning()
    {
        QCOMPARE(reportcheck::clean(QStringLiteral("a\x1b\a\r\x7f\u0085\u202eb中")),
                 QStringLiteral("a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDb中"));
    }
};

CLIENT_TEST(ClassSummaryTest)
CLIENT_TEST(ResultsCsvTest)
CLIENT_TEST(TestSetupTest)
CLIENT_TEST(ResultsStoreTest)
CLIENT_TEST(RosterFileTest)
CLIENT_TEST(ReportCheckTest)
#include "tst_results.moc"
