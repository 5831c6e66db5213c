// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "server/History.h"
#include "server/Reports.h"
#include "server/SchoolCopy.h"
#include "tests/server/ClassFixture.h"
#include "tests/server/TermFixture.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// The school's database on a real PostgreSQL 15 server, which tests/server/postgres-session.sh
// starts for the run (ctest's server_postgres): the copy of a term reads as the store does,
// two consoles write at once, the server going away mid-test loses and doubles nothing.
class SchoolDatabaseTest : public QObject
{
    Q_OBJECT

    SchoolDatabase m_school;
    QSqlDatabase m_db;

    qint64 count(const QString &sql, const QList<QVariant> &values = {})
    {
        QSqlQuery query(m_db);
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec() || !query.next()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            return -1;
        }
        return query.value(0).toLongLong();
    }
    static qint64 localCount(ResultsStore &store, const QString &sql)
    {
        QSqlQuery query(store.database());
        return query.exec(sql) && query.next() ? query.value(0).toLongLong() : -1;
    }
    // Rows of a store in the school's database, and whether each is there once.
    qint64 copied(const QString &table, const QString &storeUid)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE uid LIKE ?").arg(table),
                     {storeUid + QStringLiteral("/%")});
    }
    bool noneTwice()
    {
        for (const QString &table :
             {QStringLiteral("tests"), QStringLiteral("results"), QStringLiteral("reports")})
            if (count(QStringLiteral("SELECT COUNT(*) - COUNT(DISTINCT uid) FROM %1").arg(table)) !=
                0)
                return false;
        return true;
    }
    bool sameAsLocal(ResultsStore &store)
    {
        return copied("tests", store.uid()) == localCount(store, "SELECT COUNT(*) FROM tests") &&
               copied("results", store.uid()) ==
                   localCount(store, "SELECT COUNT(*) FROM results") &&
               copied("reports", store.uid()) == localCount(store, "SELECT COUNT(*) FROM reports");
    }
    static void runScript(const char *variable)
    {
        QProcess process;
        process.start(qEnvironmentVariable(variable), {});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
    }
    // A student types for a few seconds and ends.
    static void typeAWhile(SimulatedStudent &student, int from, int to, bool end)
    {
        for (int second = from; second <= to; ++second)
            student.sendProgress(student.progress(second, second * 2, second * 2 - 1, "的"));
        if (end)
            student.sendEnd(student.progress(to, to * 2, to * 2 - 1));
    }

private slots:
    void initTestCase()
    {
        const QString url = qEnvironmentVariable("CHENGLING_TEST_PG");
        // Skipped one by one (init): a skip here would leave the test classes after this one
        // unrun in the same executable.
        if (url.isEmpty())
            return;
        const auto school = SchoolDatabase::parse(url);
        QVERIFY(school);
        m_school = *school;
        const Status opened = m_school.open("school-test", m_db);
        QVERIFY2(opened.ok(), qPrintable(opened.error));
    }
    void init()
    {
        if (!m_db.isValid())
            QSKIP("needs a PostgreSQL server: run it through tests/server/postgres-session.sh "
                  "(ctest -R server_postgres)");
    }
    void cleanupTestCase()
    {
        if (m_db.isValid()) {
            m_db.close();
            m_db = {};
            QSqlDatabase::removeDatabase("school-test");
        }
    }

    void urls_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("ok");
        QTest::newRow("full") << "postgresql://t:pw@db.school:6543/results" << true;
        QTest::newRow("no port") << "postgres://t@127.0.0.1/results" << true;
        QTest::newRow("no database") << "postgresql://t@127.0.0.1:5432/" << false;
        QTest::newRow("not postgres") << "mysql://t@127.0.0.1/results" << false;
        QTest::newRow("a file") << "/home/teacher/results.sqlite" << false;
    }
    void urls()
    {
        QFETCH(QString, url);
        QFETCH(bool, ok);
        QString error;
        const auto school = SchoolDatabase::parse(url, &error);
        QCOMPARE(bool(school), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (school)
            QVERIFY(!school->shown().contains("pw"));
    }

    void theTermReadsTheSameInTheSchoolsDatabase()
    {
        QTemporaryDir dir;
        ResultsStore store;
        QVERIFY(store.open(dir.filePath("term.sqlite")).ok());
        TermFixture::write(store);
        SchoolCopy copy(dir.filePath("term.sqlite"), store.uid(), m_school);
        const Status status = copy.copyNow();
        QVERIFY2(status.ok(), qPrintable(status.error));
        QVERIFY(sameAsLocal(store));

        history::History local(store.database());
        history::History school(m_db);
        const history::Class a = local.classHistory(TermFixture::kClass);
        const history::Class b = school.classHistory(TermFixture::kClass);
        QVERIFY2(school.lastError().isEmpty(), qPrintable(school.lastError()));
        QCOMPARE(b.tests.size(), a.tests.size());
        QCOMPARE(b.students, a.students);
        // Every figure, grade and export of the term and of a student is the same.
        QCOMPARE(reports::csv(reports::termTable(b), reports::termPreamble(b)),
                 reports::csv(reports::termTable(a), reports::termPreamble(a)));
        for (qsizetype k = 0; k < a.improved.size(); ++k) {
            QCOMPARE(b.improved.at(k).xuehao, a.improved.at(k).xuehao);
            QCOMPARE(b.improved.at(k).change(), a.improved.at(k).change());
        }
        for (int i : {0, 7, 13, 20}) {
            const history::Student sa = local.student(TermFixture::number(i));
            const history::Student sb = school.student(TermFixture::number(i));
            QCOMPARE(reports::csv(reports::studentTable(sb), reports::studentPreamble(sb)),
                     reports::csv(reports::studentTable(sa), reports::studentPreamble(sa)));
        }
        for (int t : {0, 3, 5, 29}) {
            QList<history::Result> ra;
            QList<history::Result> rb;
            const auto ea = local.test(a.tests.at(t).test.id, &ra);
            const auto eb = school.test(b.tests.at(t).test.id, &rb);
            QVERIFY(ea && eb);
            QCOMPARE(eb->test.setup.text, ea->test.setup.text);
            QCOMPARE(reports::csv(reports::testTable(*eb, rb), reports::testPreamble(*eb)),
                     reports::csv(reports::testTable(*ea, ra), reports::testPreamble(*ea)));
        }

        // Sent again, whole: every row replaces itself.
        QSqlQuery forget(m_db);
        forget.prepare("DELETE FROM copied_marks WHERE store_uid = ?");
        forget.addBindValue(store.uid());
        QVERIFY(forget.exec());
        QVERIFY(copy.copyNow().ok());
        QVERIFY(sameAsLocal(store));
        QVERIFY(noneTwice());
    }

    void twoConsolesWriteOneDatabaseAtOnce()
    {
        QTemporaryDir dir;
        ClassFixture first;
        ClassFixture second;
        QVERIFY(first.console.openStore(dir.filePath("room1.sqlite")).ok());
        QVERIFY(second.console.openStore(dir.filePath("room2.sqlite")).ok());
        first.console.setClassName("一班");
        second.console.setClassName("二班");
        QVERIFY(
            first.console.setSchoolDatabase(qEnvironmentVariable("CHENGLING_TEST_PG"), 50).ok());
        QVERIFY(
            second.console.setSchoolDatabase(qEnvironmentVariable("CHENGLING_TEST_PG"), 50).ok());
        QVERIFY(first.console.startTest("同时").ok());
        QVERIFY(second.console.startTest("同时").ok());
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        for (int i = 0; i < 4; ++i) {
            students.push_back(first.typing(QString::number(100 + i)));
            students.push_back(second.typing(QString::number(200 + i)));
        }
        // Both rooms report every second at the same time, the copies running meanwhile.
        for (int second = 1; second <= 8; ++second) {
            for (auto &student : students)
                student->sendProgress(student->progress(second, second * 2, second * 2 - 1, "的"));
            QTest::qWait(60);
        }
        for (auto &student : students)
            student->sendEnd(student->progress(9, 18, 17));
        QTRY_COMPARE(first.console.summary().finished, 4);
        QTRY_COMPARE(second.console.summary().finished, 4);
        QVERIFY(first.console.endTest().ok());
        QVERIFY(second.console.endTest().ok());
        QTRY_VERIFY_WITH_TIMEOUT(
            sameAsLocal(first.console.store()) && sameAsLocal(second.console.store()), 20000);
        QVERIFY(noneTwice());
        // Every report: 8 progress reports and an end report of 4 students in each room.
        QCOMPARE(copied("reports", first.console.store().uid()), 36);
        QCOMPARE(copied("reports", second.console.store().uid()), 36);
        history::History school(m_db);
        const history::Class one = school.classHistory("一班");
        const history::Class two = school.classHistory("二班");
        QCOMPARE(one.tests.size(), 1);
        QCOMPARE(two.tests.size(), 1);
        QVERIFY(one.tests.first().test.endedAt > 0);
        QCOMPARE(one.tests.first().summary.finished, 4);
        QCOMPARE(two.tests.first().summary.finished, 4);
        QCOMPARE(school.student("201").results.size(), 1);
    }

    void theServerGoingAwayLosesAndDoublesNothing()
    {
        QTemporaryDir dir;
        ClassFixture room;
        QVERIFY(room.console.openStore(dir.filePath("room.sqlite")).ok());
        room.console.setClassName("四班");
        QVERIFY(room.console.setSchoolDatabase(qEnvironmentVariable("CHENGLING_TEST_PG"), 50).ok());
        QVERIFY(room.console.startTest("断网").ok());
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        for (int i = 0; i < 3; ++i)
            students.push_back(room.typing(QString::number(400 + i)));
        for (auto &student : students)
            typeAWhile(*student, 1, 3, false);
        QTRY_VERIFY_WITH_TIMEOUT(sameAsLocal(room.console.store()), 10000);
        SchoolCopy *copy = room.console.schoolCopy();
        QVERIFY(copy && copy->reachable());

        // The server goes; the class goes on and ends; the console keeps everything.
        runScript("CHENGLING_TEST_PG_STOP");
        for (auto &student : students)
            typeAWhile(*student, 4, 7, true);
        QTRY_COMPARE(room.console.summary().finished, 3);
        QVERIFY(room.console.endTest().ok());
        QTRY_VERIFY_WITH_TIMEOUT(!copy->reachable(), 10000);
        QCOMPARE(localCount(room.console.store(), "SELECT COUNT(*) FROM reports"), 24);
        QVERIFY(room.console.log().join('\n').contains("连不上"));

        // Back: what is missing goes in, once.
        runScript("CHENGLING_TEST_PG_START");
        // This test's own connection went with the server: a new one.
        m_db.close();
        m_db = {};
        QSqlDatabase::removeDatabase("school-test");
        QVERIFY(m_school.open("school-test", m_db).ok());
        QTRY_VERIFY_WITH_TIMEOUT(copy->reachable(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(sameAsLocal(room.console.store()), 15000);
        QCOMPARE(copied("reports", room.console.store().uid()), 24);
        QVERIFY(noneTwice());
        history::History school(m_db);
        const history::Class four = school.classHistory("四班");
        QCOMPARE(four.tests.size(), 1);
        QVERIFY(four.tests.first().test.endedAt > 0);
        QCOMPARE(four.tests.first().summary.finished, 3);
        QVERIFY(room.console.log().join('\n').contains("已连上"));
    }
};

CLIENT_TEST(SchoolDatabaseTest)
#include "tst_schooldb.moc"
