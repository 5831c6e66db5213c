// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "server/History.h"
#include "server/Reports.h"
#include "tests/server/ReadBack.h"
#include "tests/server/TermFixture.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace {

double meanOf(const QList<double> &values)
{
    return std::accumulate(values.cbegin(), values.cend(), 0.0) / double(values.size());
}

double medianOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle)
                             : (values.at(middle - 1) + values.at(middle)) / 2.0;
}

} // namespace

// A term of 40 students and 30 tests in the store: what the class view, the student view, the
// grades and the exports say must follow from the figures the students sent.
class HistoryTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ResultsStore m_store;
    QList<qint64> m_tests;

private slots:
    void initTestCase()
    {
        QVERIFY(m_store.open(m_dir.filePath("term.sqlite")).ok());
        m_tests = TermFixture::write(m_store);
    }

    void theClassViewHasEveryTestsFigures()
    {
        history::History history(m_store.database());
        QCOMPARE(history.classes(), QStringList{TermFixture::kClass});
        const history::Class term = history.classHistory(TermFixture::kClass);
        QVERIFY2(history.lastError().isEmpty(), qPrintable(history.lastError()));
        QCOMPARE(term.tests.size(), TermFixture::kTests);
        QCOMPARE(term.students, TermFixture::kStudents);
        for (int t = 0; t < TermFixture::kTests; ++t) {
            const history::TestEntry &entry = term.tests.at(t);
            QCOMPARE(entry.test.id, m_tests.at(t));
            QCOMPARE(entry.test.setup.passSpeed, TermFixture::passSpeed(t));
            QList<double> speeds;
            QList<double> accuracies;
            int absent = 0;
            int passed = 0;
            for (int i = 0; i < TermFixture::kStudents; ++i) {
                if (TermFixture::absent(i, t)) {
                    ++absent;
                    continue;
                }
                if (TermFixture::flagged(i, t))
                    continue;
                speeds << TermFixture::speed(i, t);
                accuracies << TermFixture::accuracy(i, t);
                passed += TermFixture::passes(i, t);
            }
            QCOMPARE(entry.summary.students, speeds.size());
            QCOMPARE(entry.summary.absent, absent);
            QCOMPARE(entry.summary.leftOut, TermFixture::flagged(13, t) ? 1 : 0);
            QCOMPARE(entry.graded, speeds.size());
            QCOMPARE(entry.passed, passed);
            QVERIFY(qFuzzyCompare(*entry.summary.meanSpeed, meanOf(speeds)));
            QVERIFY(qFuzzyCompare(*entry.summary.medianSpeed, medianOf(speeds)));
            QVERIFY(qFuzzyCompare(*entry.summary.meanAccuracy, meanOf(accuracies)));
        }
        // Most improved: the first and the last graded speed of each student.
        struct Change
        {
            QString number;
            double change;
        };
        QList<Change> expected;
        for (int i = 0; i < TermFixture::kStudents; ++i) {
            QList<double> graded;
            for (int t = 0; t < TermFixture::kTests; ++t)
                if (!TermFixture::absent(i, t) && !TermFixture::flagged(i, t))
                    graded << TermFixture::speed(i, t);
            expected.append({TermFixture::number(i), graded.last() - graded.first()});
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [](const Change &a, const Change &b) { return a.change > b.change; });
        QCOMPARE(term.improved.size(), TermFixture::kStudents);
        for (int k = 0; k < TermFixture::kStudents; ++k) {
            QCOMPARE(term.improved.at(k).xuehao, expected.at(k).number);
            QVERIFY(qFuzzyCompare(term.improved.at(k).change() + 1, expected.at(k).change + 1));
        }
        // A part of the term.
        const history::Class half = history.classHistory(
            TermFixture::kClass, TermFixture::start(10), TermFixture::start(20));
        QCOMPARE(half.tests.size(), 10);
        QCOMPARE(half.tests.first().test.id, m_tests.at(10));
    }

    void theStudentViewHasEveryTestAndTheCharactersMistyped_data()
    {
        QTest::addColumn<int>("student");
        QTest::newRow("present every time") << 4;
        QTest::newRow("missed three tests") << 7;
        QTest::newRow("one result marked") << 13;
        QTest::newRow("a duplicate dismissed") << 20;
    }
    void theStudentViewHasEveryTestAndTheCharactersMistyped()
    {
        QFETCH(int, student);
        history::History history(m_store.database());
        const history::Student s = history.student(TermFixture::number(student));
        QCOMPARE(s.name, TermFixture::name(student));
        QCOMPARE(s.results.size(), TermFixture::kTests);
        QHash<QString, int> mistyped;
        int passed = 0;
        int graded = 0;
        for (int t = 0; t < TermFixture::kTests; ++t) {
            const history::Result &r = s.results.at(t);
            QCOMPARE(r.test.id, m_tests.at(t));
            grades::Grade expected = grades::Grade::Fail;
            if (TermFixture::absent(student, t))
                expected = grades::Grade::Absent;
            else if (TermFixture::flagged(student, t))
                expected = grades::Grade::Unchecked;
            else if (TermFixture::passes(student, t))
                expected = grades::Grade::Pass;
            QCOMPARE(grades::text(r.grade), grades::text(expected));
            if (expected == grades::Grade::Pass || expected == grades::Grade::Fail) {
                ++graded;
                passed += expected == grades::Grade::Pass;
                QCOMPARE(*r.speed(), TermFixture::speed(student, t));
            }
            if (!TermFixture::absent(student, t))
                for (const QString &c : history::characters(TermFixture::errors(student, t)))
                    ++mistyped[c];
        }
        QCOMPARE(s.passed, passed);
        QCOMPARE(s.graded, graded);
        QCOMPARE(s.mistyped.size(), mistyped.size());
        for (qsizetype k = 0; k < s.mistyped.size(); ++k) {
            QCOMPARE(s.mistyped.at(k).second, mistyped.value(s.mistyped.at(k).first));
            if (k > 0)
                QVERIFY(s.mistyped.at(k - 1).second >= s.mistyped.at(k).second);
        }
    }

    void grades_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("grade");
        // 60 s, pass mark 40 字/分 and 95 %.
        QTest::newRow("both reached") << 40 << 42 << 0 << "合格";
        QTest::newRow("fast, careless") << 80 << 90 << 0 << "不合格";
        QTest::newRow("careful, slow") << 39 << 39 << 0 << "不合格";
        QTest::newRow("94.5 % rounds to 95") << 189 << 200 << 0 << "合格";
        QTest::newRow("nothing typed") << 0 << 0 << 0 << "不合格";
        QTest::newRow("too fast to be true") << 40 << 40 << int(StudentRow::TooFast) << "待定";
        QTest::newRow("not on the roster") << 40 << 40 << int(StudentRow::NotOnRoster) << "待定";
        QTest::newRow("absent") << -1 << -1 << 0 << "缺考";
    }
    void grades()
    {
        QFETCH(int, right);
        QFETCH(int, typed);
        QFETCH(int, flags);
        QFETCH(QString, grade);
        StudentRow row;
        row.xuehao = "1";
        row.flags = flags;
        if (right >= 0) {
            protocol::Report report;
            report.totalTime = 60;
            report.right = right;
            report.inputCount = typed;
            report.txtCount = 300;
            row.final = report;
        }
        QCOMPARE(grades::text(grades::of(row, 40, 95)), grade);
    }

    void aTestsResultsLeaveOutTheDismissedDuplicate()
    {
        history::History history(m_store.database());
        QList<history::Result> results;
        const auto entry = history.test(m_tests.at(3), &results);
        QVERIFY(entry);
        QCOMPARE(results.size(), TermFixture::kStudents);
        QCOMPARE(entry->test.setup.text, QStringLiteral("春眠不觉晓处处闻啼鸟").repeated(60));
        QVERIFY(!history.test(999999));
    }

    void exportsReadBack()
    {
        history::History history(m_store.database());
        QList<history::Result> results;
        const history::TestEntry entry = *history.test(m_tests.at(5), &results);
        const reports::Table table = reports::testTable(entry, results);
        const QString csvPath = m_dir.filePath("out/test.csv");
        QVERIFY(reports::writeCsv(csvPath, table, reports::testPreamble(entry)).ok());
        QString error;
        const QJsonArray csv = readback::csv(csvPath, &error).value("rows").toArray();
        QVERIFY2(!csv.isEmpty(), qPrintable(error));
        // The preamble, an empty line, the header, one line a student.
        const qsizetype header = reports::testPreamble(entry).size() + 1;
        QCOMPARE(csv.size(), header + 1 + TermFixture::kStudents);
        QCOMPARE(csv.at(header).toArray().at(0).toString(), QStringLiteral("学号"));
        QCOMPARE(csv.at(header).toArray().last().toString(), QStringLiteral("等级"));

        const history::Class term = history.classHistory(TermFixture::kClass);
        const history::Student student = history.student(TermFixture::number(13));
        const QString xlsxPath = m_dir.filePath("out/term.xlsx");
        QVERIFY(reports::writeXlsx(
                    xlsxPath, {table, reports::termTable(term), reports::studentTable(student)},
                    {reports::testPreamble(entry), reports::termPreamble(term), {}})
                    .ok());
        QVERIFY(!QFile::exists(xlsxPath + ".part"));
        const QJsonObject book = readback::xlsx(xlsxPath, &error);
        QVERIFY2(!book.isEmpty(), qPrintable(error));
        QCOMPARE(book.keys().size(), 3);
        const QJsonArray sheet = book.value(table.title).toArray();
        QCOMPARE(sheet.size(), header + 1 + TermFixture::kStudents);
        for (int i = 0; i < TermFixture::kStudents; ++i) {
            const QJsonArray line = sheet.at(header + 1 + i).toArray();
            const QJsonArray fromCsv = csv.at(header + 1 + i).toArray();
            QCOMPARE(line.at(0).toString(), TermFixture::number(i));
            QCOMPARE(fromCsv.at(0).toString(), TermFixture::number(i));
            QCOMPARE(line.at(1).toString(), TermFixture::name(i));
            // Numbers are numbers in the spreadsheet.
            QVERIFY(line.at(6).isDouble());
            QCOMPARE(line.at(6).toDouble(), TermFixture::speed(i, 5));
            QCOMPARE(fromCsv.at(6).toString().toDouble(), TermFixture::speed(i, 5));
            const QString grade = TermFixture::flagged(i, 5)
                                      ? "待定"
                                      : (TermFixture::passes(i, 5) ? "合格" : "不合格");
            QCOMPARE(line.at(10).toString(), grade);
            QCOMPARE(fromCsv.at(10).toString(), grade);
        }
        // The term sheet: one line a test with its mean speed.
        const QJsonArray termSheet = book.value(reports::termTable(term).title).toArray();
        const qsizetype termHeader = reports::termPreamble(term).size() + 1;
        QCOMPARE(termSheet.size(), termHeader + 1 + TermFixture::kTests);
        QCOMPARE(termSheet.at(termHeader + 1 + 5).toArray().at(7).toDouble(),
                 std::round(*term.tests.at(5).summary.meanSpeed * 10) / 10);
        // The student's sheet: the marked test graded 待定.
        const QJsonArray studentSheet = book.value(reports::studentTable(student).title).toArray();
        QCOMPARE(studentSheet.size(), 1 + TermFixture::kTests);
        QCOMPARE(studentSheet.at(1 + 5).toArray().last().toString(), QStringLiteral("待定"));
        // A file that cannot be written is an error, not a crash.
        QVERIFY(!reports::writeXlsx("/proc/no/such/folder/x.xlsx", {table}).ok());
    }

    void setupsLibrary()
    {
        QTemporaryDir dir;
        ResultsStore store;
        QVERIFY(store.open(dir.filePath("setups.sqlite")).ok());
        TestSetup setup;
        setup.text = "春眠不觉晓";
        setup.timeLimit = 3;
        setup.passSpeed = 60;
        setup.passAccuracy = 98;
        setup.forbidden = "记事本";
        QVERIFY(store.saveSetup("  期中  ", setup).ok());
        setup.timeLimit = 4;
        QVERIFY(store.saveSetup("期中", setup).ok()); // the same name: replaced
        QVERIFY(store.saveSetup("练习", TestSetup{}).ok());
        QCOMPARE(store.setups().size(), 2);
        const auto saved = store.savedSetup("期中");
        QVERIFY(saved);
        QCOMPARE(saved->setup.timeLimit, 4);
        QCOMPARE(saved->setup.passSpeed, 60);
        QCOMPARE(saved->setup.passAccuracy, 98);
        QCOMPARE(saved->setup.forbidden, QStringLiteral("记事本"));
        QVERIFY(!store.renameSetup("期中", "练习").ok()); // taken
        QVERIFY(store.renameSetup("期中", "期末").ok());
        QVERIFY(!store.savedSetup("期中"));
        QVERIFY(store.removeSetup("期末").ok());
        QVERIFY(!store.removeSetup("期末").ok());
        QVERIFY(!store.saveSetup("", setup).ok());
        QVERIFY(!store.saveSetup(QString(101, u'名'), setup).ok());
        TestSetup bad;
        bad.passAccuracy = 101;
        QVERIFY(!store.saveSetup("坏", bad).ok());
        // A text file in GBK, as Windows editors save it, read into the library.
        const QString file = dir.filePath("text.txt");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(gbk::encode(QStringLiteral("床前明月光，\r\n疑是地上霜。")).bytes);
        out.close();
        TestSetup imported;
        QVERIFY(TestSetup::readTextFile(file, TestSetup::FileEncoding::Auto, TestSetup::Kind::Plain,
                                        imported.text)
                    .ok());
        QVERIFY(store.saveSetup("静夜思", imported).ok());
        QCOMPARE(store.savedSetup("静夜思")->setup.text,
                 QStringLiteral("床前明月光，疑是地上霜。"));
        // Kept across a restart.
        store.close();
        QVERIFY(store.open(dir.filePath("setups.sqlite")).ok());
        QCOMPARE(store.setups().size(), 2);
    }

    // A store of the first version keeps its tests and results and gets the default pass mark.
    void aFirstVersionStoreComesAlong()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("old.sqlite");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QVERIFY(storeschema::migrate(db, storeschema::Dialect::Sqlite,
                                         storeschema::migrations().mid(0, 1))
                        .ok());
            QSqlQuery query(db);
            QVERIFY(
                query.exec("INSERT INTO tests (name, started_at, ended_at, end_reason, "
                           "text_kind, text, root_zone, root_count, time_limit, hint_delay, "
                           "ime_rule, roots_allowed, hints_allowed, forbidden) VALUES ('旧', "
                           "1000, 2000, 'teacher', 0, '春眠', 0, 50, 2, 5, '不限制', 1, 1, '')"));
            QVERIFY(query.exec("INSERT INTO results (test_id, xuehao, name, banji, computer, "
                               "input_method, peer, other_peer, on_roster, finish, flags, "
                               "total_time, txt_count, input_count, right_count, backspaces, "
                               "err_chars, updated_at) VALUES (1, '31', '李明', '三班', '', '', "
                               "'', '', 0, 4, 0, 60, 2, 50, 48, 0, '', 0)"));
            db.close();
            db = {};
            QSqlDatabase::removeDatabase("old");
        }
        ResultsStore store;
        QVERIFY(store.open(path).ok());
        QVERIFY(!store.uid().isEmpty());
        const auto test = store.test(1);
        QVERIFY(test);
        QCOMPARE(test->setup.passSpeed, TestSetup::kDefaultPassSpeed);
        QCOMPARE(test->setup.passAccuracy, TestSetup::kDefaultPassAccuracy);
        history::History history(store.database());
        const history::Student student = history.student("31");
        QCOMPARE(student.results.size(), 1);
        QCOMPARE(*student.results.first().speed(), 48.0);
        QCOMPARE(grades::text(student.results.first().grade), QStringLiteral("合格"));
        const QString uid = store.uid();
        store.close();
        QVERIFY(store.open(path).ok());
        QCOMPARE(store.uid(), uid);
    }
};

CLIENT_TEST(HistoryTest)
#include "tst_history.moc"
