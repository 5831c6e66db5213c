// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/History.h"

#include "server/StoreSchema.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace grades {

Grade of(const StudentRow &row, int passSpeed, int passAccuracy)
{
    if (!row.figures())
        return Grade::Absent;
    if (row.doubtful())
        return Grade::Unchecked;
    const std::optional<double> speed = row.speed();
    const std::optional<double> accuracy = row.accuracy();
    if (!speed || !accuracy)
        return Grade::Fail;
    return *speed >= passSpeed && *accuracy >= passAccuracy ? Grade::Pass : Grade::Fail;
}

QString text(Grade grade)
{
    switch (grade) {
    case Grade::Pass:
        return QStringLiteral("合格");
    case Grade::Fail:
        return QStringLiteral("不合格");
    case Grade::Absent:
        return QStringLiteral("缺考");
    case Grade::Unchecked:
        return QStringLiteral("待定");
    }
    return {};
}

QString passMarkText(int passSpeed, int passAccuracy)
{
    return QStringLiteral("%1字/分、%2%").arg(passSpeed).arg(passAccuracy);
}

} // namespace grades

namespace history {

QStringList characters(const QString &text)
{
    QStringList list;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        list << text.mid(i, length);
        i += length - 1;
    }
    return list;
}

namespace {

const QString kTestColumns =
    QStringLiteral("t.id, t.name, t.started_at, t.ended_at, t.end_reason, t.banji, ") +
    storeschema::setupColumns(QStringLiteral("t."));
constexpr int kTestColumnCount = 6 + storeschema::kSetupColumnCount;
const QString kResultColumns = QStringLiteral(
    "r.id, r.xuehao, r.name, r.banji, r.computer, r.input_method, r.on_roster, r.finish, "
    "r.flags, r.total_time, r.txt_count, r.input_count, r.right_count, r.backspaces, "
    "r.err_chars");

StoredTest testFrom(const QSqlQuery &query, bool withText)
{
    StoredTest test;
    test.id = query.value(0).toLongLong();
    test.name = query.value(1).toString();
    test.startedAt = query.value(2).toLongLong();
    test.endedAt = query.value(3).isNull() ? 0 : query.value(3).toLongLong();
    test.endReason = query.value(4).toString();
    test.banji = query.value(5).toString();
    storeschema::readSetup(query, 6, test.setup);
    if (withText)
        test.setup.text = query.value(kTestColumnCount + 15).toString();
    return test;
}

StudentRow rowFrom(const QSqlQuery &query, int at)
{
    StudentRow row;
    if (query.value(at).isNull())
        return row;
    row.resultId = query.value(at).toLongLong();
    row.xuehao = query.value(at + 1).toString();
    row.name = query.value(at + 2).toString();
    row.banji = query.value(at + 3).toString();
    row.computer = query.value(at + 4).toString();
    row.inputMethod = query.value(at + 5).toString();
    row.onRoster = query.value(at + 6).toInt() != 0;
    const int finish = query.value(at + 7).toInt();
    row.finish = finish >= 0 && finish <= int(StudentRow::Finish::ClassTimeUp)
                     ? StudentRow::Finish(finish)
                     : StudentRow::Finish::None;
    row.flags = query.value(at + 8).toInt();
    if (!query.value(at + 9).isNull()) {
        protocol::Report figures;
        figures.xuehao = row.xuehao;
        figures.name = row.name;
        figures.banji = row.banji;
        figures.totalTime = query.value(at + 9).toInt();
        figures.txtCount = query.value(at + 10).toInt();
        figures.inputCount = query.value(at + 11).toInt();
        figures.right = query.value(at + 12).toInt();
        figures.backspaces = query.value(at + 13).toInt();
        figures.errChars = query.value(at + 14).toString();
        figures.inputMethod = row.inputMethod;
        figures.computer = row.computer;
        row.final = figures;
    }
    row.state = row.figures() ? StudentRow::State::Finished : StudentRow::State::Absent;
    return row;
}

TestEntry entryOf(const StoredTest &test, const QList<Result> &results)
{
    TestEntry entry;
    entry.test = test;
    QList<StudentRow> rows;
    for (const Result &result : results) {
        rows << result.row;
        if (result.grade == grades::Grade::Pass || result.grade == grades::Grade::Fail)
            ++entry.graded;
        if (result.grade == grades::Grade::Pass)
            ++entry.passed;
    }
    entry.summary = ClassSummary::of(rows);
    return entry;
}

QString range(const QString &column, qint64 from, qint64 to, QList<QVariant> &values)
{
    QString sql;
    if (from > 0) {
        sql += QStringLiteral(" AND %1 >= ?").arg(column);
        values << from;
    }
    if (to > 0) {
        sql += QStringLiteral(" AND %1 < ?").arg(column);
        values << to;
    }
    return sql;
}

} // namespace

QList<Result> History::read(const QString &condition, const QList<QVariant> &values, bool withSetup)
{
    QList<Result> results;
    m_error.clear();
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT ") + kTestColumns + QStringLiteral(", ") + kResultColumns +
                  (withSetup ? QStringLiteral(", t.text") : QString()) +
                  QStringLiteral(" FROM tests t LEFT JOIN results r ON r.test_id = t.id WHERE ") +
                  condition + QStringLiteral(" ORDER BY t.started_at, t.id, r.id"));
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return results;
    }
    qint64 lastTest = -1;
    StoredTest test;
    while (query.next()) {
        if (query.value(0).toLongLong() != lastTest) {
            test = testFrom(query, withSetup);
            lastTest = test.id;
        }
        Result result;
        result.test = test;
        result.row = rowFrom(query, kTestColumnCount);
        // A duplicate the teacher did not keep is no result.
        if (result.row.dismissed())
            continue;
        result.grade = grades::of(result.row, test.setup.passSpeed, test.setup.passAccuracy);
        results << result;
    }
    return results;
}

QStringList History::classes()
{
    QStringList list;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT DISTINCT banji FROM tests ORDER BY banji"))) {
        m_error = query.lastError().text();
        return list;
    }
    while (query.next())
        list << query.value(0).toString();
    return list;
}

Class History::classHistory(const QString &banji, qint64 from, qint64 to)
{
    Class result;
    result.banji = banji;
    QList<QVariant> values;
    QString condition = QStringLiteral("1 = 1");
    if (!banji.isEmpty()) {
        condition = QStringLiteral("t.banji = ?");
        values << banji;
    }
    condition += range(QStringLiteral("t.started_at"), from, to, values);
    const QList<Result> all = read(condition, values, false);

    QList<Result> ofTest;
    const auto close = [&] {
        if (!ofTest.isEmpty())
            result.tests << entryOf(ofTest.first().test, ofTest);
        ofTest.clear();
    };
    QHash<QString, Progress> progress;
    QStringList order;
    for (const Result &r : all) {
        if (!ofTest.isEmpty() && ofTest.first().test.id != r.test.id)
            close();
        ofTest << r;
        if (!r.row.identified())
            continue;
        if (!progress.contains(r.row.xuehao)) {
            order << r.row.xuehao;
            progress.insert(r.row.xuehao, Progress{r.row.xuehao, r.row.name});
        }
        Progress &p = progress[r.row.xuehao];
        p.name = r.row.name;
        const std::optional<double> speed = r.speed();
        if ((r.grade == grades::Grade::Pass || r.grade == grades::Grade::Fail) && speed) {
            if (p.tests == 0)
                p.first = *speed;
            p.last = *speed;
            ++p.tests;
        }
    }
    close();
    result.students = int(order.size());
    for (const QString &number : std::as_const(order))
        result.people.append({number, progress.value(number).name});
    for (const QString &number : std::as_const(order))
        if (progress.value(number).tests >= 2)
            result.improved << progress.value(number);
    std::stable_sort(result.improved.begin(), result.improved.end(),
                     [](const Progress &a, const Progress &b) { return a.change() > b.change(); });
    return result;
}

Student History::student(const QString &xuehao, qint64 from, qint64 to)
{
    Student student;
    student.xuehao = xuehao;
    QList<QVariant> values{xuehao};
    const QString condition =
        QStringLiteral("r.xuehao = ?") + range(QStringLiteral("t.started_at"), from, to, values);
    student.results = read(condition, values, false);
    QHash<QString, int> counts;
    QStringList order;
    for (const Result &r : std::as_const(student.results)) {
        student.name = r.row.name;
        student.banji = r.row.banji;
        if (r.grade == grades::Grade::Pass || r.grade == grades::Grade::Fail)
            ++student.graded;
        if (r.grade == grades::Grade::Pass)
            ++student.passed;
        const QStringList chars = characters(r.row.errChars());
        const QSet<QString> once(chars.cbegin(), chars.cend());
        for (const QString &c : chars) {
            if (!once.contains(c) || c.trimmed().isEmpty())
                continue;
            if (!counts.contains(c))
                order << c;
        }
        for (const QString &c : once)
            if (!c.trimmed().isEmpty())
                ++counts[c];
    }
    for (const QString &c : std::as_const(order))
        student.mistyped.append({c, counts.value(c)});
    std::stable_sort(student.mistyped.begin(), student.mistyped.end(),
                     [](const auto &a, const auto &b) { return a.second > b.second; });
    return student;
}

std::optional<TestEntry> History::test(qint64 id, QList<Result> *results)
{
    const QList<Result> all = read(QStringLiteral("t.id = ?"), {id}, true);
    if (all.isEmpty())
        return std::nullopt;
    QList<Result> rows;
    for (const Result &r : all)
        if (r.row.identified())
            rows << r;
    if (results)
        *results = rows;
    return entryOf(all.first().test, rows);
}

QList<StoredTest> History::recentTests(int count)
{
    QList<StoredTest> list;
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT ") + kTestColumns +
                  QStringLiteral(" FROM tests t ORDER BY t.started_at DESC, t.id DESC LIMIT ?"));
    query.addBindValue(count);
    if (!query.exec()) {
        m_error = query.lastError().text();
        return list;
    }
    while (query.next())
        list << testFrom(query, false);
    return list;
}

} // namespace history
