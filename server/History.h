// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/ClassSummary.h"
#include "server/ResultsStore.h"
#include "server/StudentRow.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// A grade against a test's pass mark: the speed (right characters a minute) and the accuracy
// must both reach it. A result whose figures no typist can reach, a duplicate login or a
// student not on the roster is not graded until the teacher looks at it.
namespace grades {

enum class Grade { Pass, Fail, Absent, Unchecked };

Grade of(const StudentRow &row, int passSpeed, int passAccuracy);
// "合格", "不合格", "缺考", "待定"
QString text(Grade grade);
// "40字/分、95%"
QString passMarkText(int passSpeed, int passAccuracy);

} // namespace grades

// What the store holds over a term, read from its database: the tests with their setup, the
// class's figures per test, a student's figures across tests. The same SQL runs on the
// console's SQLite store and on the school's PostgreSQL copy of the stores.
namespace history {

// A test with its figures.
struct TestEntry
{
    StoredTest test;
    ClassSummary summary; // mean, median, most mistyped
    int graded = 0;       // results with figures that count
    int passed = 0;
};

// One student's result in one test.
struct Result
{
    StoredTest test; // the test's setup is not read for a student's history (text left empty)
    StudentRow row;  // the stored figures
    grades::Grade grade = grades::Grade::Absent;
    std::optional<double> speed() const { return row.speed(); }
    std::optional<double> accuracy() const { return row.accuracy(); }
};

struct Student
{
    QString xuehao;
    QString name;          // the latest test's
    QString banji;         // the latest test's
    QList<Result> results; // oldest first
    // Characters the student mistyped, with the number of tests they were mistyped in, most
    // first.
    QList<QPair<QString, int>> mistyped;
    int passed = 0;
    int graded = 0;
};

// A student's change over the class's tests: the first and the last graded speed.
struct Progress
{
    QString xuehao;
    QString name;
    double first = 0;
    double last = 0;
    int tests = 0;
    double change() const { return last - first; }
};

struct Class
{
    QString banji;
    QList<TestEntry> tests; // oldest first
    // Students with at least two graded tests, the most improved first.
    QList<Progress> improved;
    int students = 0;
    // Every student of those tests, number and latest name, in order of the first result.
    QList<QPair<QString, QString>> people;
};

class History
{
public:
    // The database of a store (ResultsStore::database()) or the school's copy.
    explicit History(QSqlDatabase db)
        : m_db(std::move(db))
    {}

    QString lastError() const { return m_error; }

    // The classes that took tests, in name order.
    QStringList classes();
    // A class's tests (all when banji is empty) started in [from, to) (0: no bound), oldest
    // first, with their figures.
    Class classHistory(const QString &banji, qint64 from = 0, qint64 to = 0);
    // Every result of one student number, oldest first.
    Student student(const QString &xuehao, qint64 from = 0, qint64 to = 0);
    // One test with its results in the order they were made.
    std::optional<TestEntry> test(qint64 id, QList<Result> *results = nullptr);
    // The most recent tests, newest first.
    QList<StoredTest> recentTests(int count = 50);

private:
    QList<Result> read(const QString &condition, const QList<QVariant> &values, bool withSetup);

    QSqlDatabase m_db;
    QString m_error;
};

// The characters of a text one at a time (a character outside the basic plane as one).
QStringList characters(const QString &text);

} // namespace history
