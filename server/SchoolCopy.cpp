// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/SchoolCopy.h"

#include "server/StoreSchema.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <memory>

std::optional<SchoolDatabase> SchoolDatabase::parse(const QString &url, QString *error)
{
    const QUrl parsed(url.trimmed(), QUrl::StrictMode);
    const auto failure = [error](const QString &text) -> std::optional<SchoolDatabase> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (!parsed.isValid() || (parsed.scheme() != u"postgresql" && parsed.scheme() != u"postgres"))
        return failure(
            QStringLiteral("学校数据库应写成 postgresql://用户[:密码]@主机[:端口]/数据库，"
                           "而不是“%1”")
                .arg(url.left(80)));
    SchoolDatabase school;
    school.host = parsed.host().isEmpty() ? QStringLiteral("127.0.0.1") : parsed.host();
    school.port = parsed.port(5432);
    school.name = parsed.path().mid(1);
    school.user = parsed.userName();
    school.password = parsed.password();
    if (school.name.isEmpty() || school.name.contains(u'/'))
        return failure(QStringLiteral("学校数据库的地址没有数据库名：%1").arg(url.left(80)));
    if (school.port <= 0 || school.port > 65535)
        return failure(QStringLiteral("学校数据库的端口不对：%1").arg(url.left(80)));
    return school;
}

QString SchoolDatabase::shown() const
{
    return QStringLiteral("postgresql://%1%2:%3/%4")
        .arg(user.isEmpty() ? QString() : user + u'@', host)
        .arg(port)
        .arg(name);
}

Status SchoolDatabase::open(const QString &connectionName, QSqlDatabase &db) const
{
    db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid())
        return Status::failure(
            QStringLiteral("Qt 的 PostgreSQL 驱动不可用（请安装 libqt6sql6-psql）"));
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(name);
    db.setUserName(user);
    db.setPassword(password);
    // A server that is gone answers nothing: give up soon and try again at the next round.
    db.setConnectOptions(QStringLiteral("connect_timeout=3"));
    if (!db.open())
        return Status::failure(QStringLiteral("连不上学校数据库 %1：%2")
                                   .arg(shown(), db.lastError().text().trimmed()));
    // Consoles starting together bring the tables to their version one after another.
    QSqlQuery lock(db);
    if (!lock.exec(QStringLiteral("SELECT pg_advisory_lock(727001)")))
        return Status::failure(lock.lastError().text());
    const Status migrated = storeschema::migrate(db, storeschema::Dialect::Postgres);
    lock.exec(QStringLiteral("SELECT pg_advisory_unlock(727001)"));
    if (!migrated.ok())
        return Status::failure(QStringLiteral("学校数据库 %1：%2").arg(shown(), migrated.error));
    return Status::success();
}

namespace {

const QStringList kTestColumns = {QStringLiteral("name"),          QStringLiteral("started_at"),
                                  QStringLiteral("ended_at"),      QStringLiteral("end_reason"),
                                  QStringLiteral("text_kind"),     QStringLiteral("text"),
                                  QStringLiteral("root_zone"),     QStringLiteral("root_count"),
                                  QStringLiteral("time_limit"),    QStringLiteral("hint_delay"),
                                  QStringLiteral("ime_rule"),      QStringLiteral("roots_allowed"),
                                  QStringLiteral("hints_allowed"), QStringLiteral("forbidden"),
                                  QStringLiteral("banji"),         QStringLiteral("pass_speed"),
                                  QStringLiteral("pass_accuracy"), QStringLiteral("change_no")};
// test_id first, duplicate_of second: both are ids to be turned into the school's.
const QStringList kResultColumns = {
    QStringLiteral("test_id"),      QStringLiteral("duplicate_of"), QStringLiteral("xuehao"),
    QStringLiteral("name"),         QStringLiteral("banji"),        QStringLiteral("computer"),
    QStringLiteral("input_method"), QStringLiteral("peer"),         QStringLiteral("other_peer"),
    QStringLiteral("on_roster"),    QStringLiteral("finish"),       QStringLiteral("flags"),
    QStringLiteral("total_time"),   QStringLiteral("txt_count"),    QStringLiteral("input_count"),
    QStringLiteral("right_count"),  QStringLiteral("backspaces"),   QStringLiteral("err_chars"),
    QStringLiteral("updated_at"),   QStringLiteral("change_no")};
const QStringList kReportColumns = {
    QStringLiteral("result_id"),   QStringLiteral("received_at"), QStringLiteral("kind"),
    QStringLiteral("total_time"),  QStringLiteral("txt_count"),   QStringLiteral("input_count"),
    QStringLiteral("right_count"), QStringLiteral("backspaces"),  QStringLiteral("input_method"),
    QStringLiteral("err_chars"),   QStringLiteral("flags")};
constexpr int kReportsPerInsert = 100;

QString placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return u'(' + marks.join(u',') + u')';
}

// INSERT ... ON CONFLICT (uid) DO UPDATE: a row sent again replaces itself.
QString upsert(const QString &table, const QStringList &columns)
{
    QStringList set;
    for (const QString &column : columns)
        set << QStringLiteral("%1 = EXCLUDED.%1").arg(column);
    return QStringLiteral("INSERT INTO %1 (uid, %2) VALUES %3 ON CONFLICT (uid) DO UPDATE SET %4 "
                          "RETURNING id")
        .arg(table, columns.join(QStringLiteral(", ")), placeholders(int(columns.size()) + 1),
             set.join(QStringLiteral(", ")));
}

struct Round
{
    int rows = 0;
    bool more = false;
    QString error;
};

} // namespace

class SchoolCopy::Worker : public QObject
{
    Q_OBJECT
public:
    Worker(const QString &storePath, const QString &storeUid, const SchoolDatabase &school)
        : m_storePath(storePath)
        , m_storeUid(storeUid)
        , m_school(school)
        , m_name(QStringLiteral("school-copy-%1")
                     .arg(QUuid::createUuid().toString(QUuid::WithoutBraces)))
    {}
    ~Worker() override { closeAll(); }

    // The last round's error, told once.
    QString lastError;

    void closeAll()
    {
        closeSchool();
        if (m_local.isValid()) {
            m_local.close();
            m_local = {};
            QSqlDatabase::removeDatabase(m_name + QStringLiteral("-store"));
        }
    }

    // One round; more is set when rows are left for the next.
    Round round()
    {
        Round result;
        if (const QString error = openLocal(); !error.isEmpty()) {
            result.error = error;
            return result;
        }
        if (!m_school_db.isOpen()) {
            closeSchool();
            if (const Status status =
                    m_school.open(m_name + QStringLiteral("-school"), m_school_db);
                !status.ok()) {
                result.error = status.error;
                closeSchool();
                return result;
            }
        }
        if (!m_school_db.transaction()) {
            result.error = m_school_db.lastError().text();
            closeSchool();
            return result;
        }
        QHash<qint64, qint64> newTests;
        QHash<qint64, qint64> newResults;
        const QString error = copy(result, newTests, newResults);
        if (!error.isEmpty() || !m_school_db.commit()) {
            result.error = error.isEmpty() ? m_school_db.lastError().text() : error;
            m_school_db.rollback();
            // A connection that failed may be half-broken: the next round opens a new one.
            closeSchool();
            result.rows = 0;
            return result;
        }
        m_testIds.insert(newTests);
        m_resultIds.insert(newResults);
        return result;
    }

private:
    void closeSchool()
    {
        if (m_school_db.isValid()) {
            m_school_db.close();
            m_school_db = {};
        }
        QSqlDatabase::removeDatabase(m_name + QStringLiteral("-school"));
        m_testIds.clear();
        m_resultIds.clear();
    }

    QString openLocal()
    {
        if (m_local.isOpen())
            return {};
        m_local =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name + QStringLiteral("-store"));
        m_local.setDatabaseName(m_storePath);
        if (!m_local.open())
            return m_local.lastError().text();
        QSqlQuery pragma(m_local);
        pragma.exec(QStringLiteral("PRAGMA busy_timeout = 5000"));
        return {};
    }

    // The school's id of a row of the store, from this round, earlier rounds or the school.
    std::optional<qint64> schoolId(const QString &table, const QString &kind, qint64 localId,
                                   QHash<qint64, qint64> &round, QHash<qint64, qint64> &known)
    {
        if (round.contains(localId))
            return round.value(localId);
        if (known.contains(localId))
            return known.value(localId);
        QSqlQuery query(m_school_db);
        query.prepare(QStringLiteral("SELECT id FROM %1 WHERE uid = ?").arg(table));
        query.addBindValue(uid(kind, localId));
        if (!query.exec() || !query.next())
            return std::nullopt;
        const qint64 id = query.value(0).toLongLong();
        round.insert(localId, id);
        return id;
    }

    QString uid(const QString &kind, qint64 id) const
    {
        return QStringLiteral("%1/%2%3").arg(m_storeUid, kind).arg(id);
    }

    QString copy(Round &result, QHash<qint64, qint64> &newTests, QHash<qint64, qint64> &newResults)
    {
        QSqlQuery school(m_school_db);
        school.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"));
        school.addBindValue(m_storeUid);
        if (!school.exec())
            return school.lastError().text();
        QHash<QString, qint64> marks;
        school.prepare(QStringLiteral("SELECT name, value FROM copied_marks WHERE store_uid = ?"));
        school.addBindValue(m_storeUid);
        if (!school.exec())
            return school.lastError().text();
        while (school.next())
            marks.insert(school.value(0).toString(), school.value(1).toLongLong());

        // What the store holds now, read in one snapshot: every report read has its result,
        // every result its test.
        if (!m_local.transaction())
            return m_local.lastError().text();
        struct Rows
        {
            QList<qint64> ids;
            QList<QList<QVariant>> values;
        };
        const auto readRows = [this](const QString &sql, const QList<QVariant> &binds, int width,
                                     Rows &rows) -> QString {
            QSqlQuery query(m_local);
            query.setForwardOnly(true);
            query.prepare(sql);
            for (const QVariant &value : binds)
                query.addBindValue(value);
            if (!query.exec())
                return query.lastError().text();
            while (query.next()) {
                rows.ids << query.value(0).toLongLong();
                QList<QVariant> values;
                for (int i = 1; i <= width; ++i)
                    values << query.value(i);
                rows.values << values;
            }
            return {};
        };
        Rows tests;
        Rows results;
        Rows reports;
        QString error =
            readRows(QStringLiteral("SELECT id, %1 FROM tests WHERE change_no > ? "
                                    "ORDER BY change_no LIMIT %2")
                         .arg(kTestColumns.join(QStringLiteral(", ")))
                         .arg(kRoundTests),
                     {marks.value(QStringLiteral("tests"))}, int(kTestColumns.size()), tests);
        const bool testsLeft = tests.ids.size() == kRoundTests;
        if (error.isEmpty() && !testsLeft)
            error = readRows(QStringLiteral("SELECT id, %1 FROM results WHERE change_no > ? "
                                            "ORDER BY change_no LIMIT %2")
                                 .arg(kResultColumns.join(QStringLiteral(", ")))
                                 .arg(kRoundResults),
                             {marks.value(QStringLiteral("results"))}, int(kResultColumns.size()),
                             results);
        const bool resultsLeft = testsLeft || results.ids.size() == kRoundResults;
        if (error.isEmpty() && !resultsLeft)
            error = readRows(QStringLiteral("SELECT id, %1 FROM reports WHERE id > ? ORDER BY id "
                                            "LIMIT %2")
                                 .arg(kReportColumns.join(QStringLiteral(", ")))
                                 .arg(kRoundReports),
                             {marks.value(QStringLiteral("reports"))}, int(kReportColumns.size()),
                             reports);
        m_local.commit();
        if (!error.isEmpty())
            return error;
        result.more = resultsLeft || reports.ids.size() == kRoundReports;

        QSqlQuery insert(m_school_db);
        insert.prepare(upsert(QStringLiteral("tests"), kTestColumns));
        qint64 testsMark = marks.value(QStringLiteral("tests"));
        for (qsizetype i = 0; i < tests.ids.size(); ++i) {
            insert.addBindValue(uid(QStringLiteral("t"), tests.ids.at(i)));
            for (const QVariant &value : tests.values.at(i))
                insert.addBindValue(value);
            if (!insert.exec() || !insert.next())
                return insert.lastError().text();
            newTests.insert(tests.ids.at(i), insert.value(0).toLongLong());
            testsMark = tests.values.at(i).last().toLongLong();
        }

        insert.prepare(upsert(QStringLiteral("results"), kResultColumns));
        qint64 resultsMark = marks.value(QStringLiteral("results"));
        QList<std::pair<qint64, qint64>> duplicates; // local result, local result it claims
        for (qsizetype i = 0; i < results.ids.size(); ++i) {
            QList<QVariant> values = results.values.at(i);
            const std::optional<qint64> test =
                schoolId(QStringLiteral("tests"), QStringLiteral("t"), values.at(0).toLongLong(),
                         newTests, m_testIds);
            if (!test)
                return QStringLiteral("成绩%1的测试不在学校数据库中").arg(results.ids.at(i));
            values[0] = *test;
            if (!values.at(1).isNull())
                duplicates.append({results.ids.at(i), values.at(1).toLongLong()});
            values[1] = QVariant(QMetaType(QMetaType::LongLong)); // set below
            insert.addBindValue(uid(QStringLiteral("r"), results.ids.at(i)));
            for (const QVariant &value : std::as_const(values))
                insert.addBindValue(value);
            if (!insert.exec() || !insert.next())
                return insert.lastError().text();
            newResults.insert(results.ids.at(i), insert.value(0).toLongLong());
            resultsMark = values.last().toLongLong();
        }
        // A duplicate names the row it claims once both are there.
        QSqlQuery link(m_school_db);
        link.prepare(QStringLiteral("UPDATE results SET duplicate_of = ? WHERE id = ?"));
        for (const auto &[own, claimed] : std::as_const(duplicates)) {
            const auto ownId = schoolId(QStringLiteral("results"), QStringLiteral("r"), own,
                                        newResults, m_resultIds);
            const auto claimedId = schoolId(QStringLiteral("results"), QStringLiteral("r"), claimed,
                                            newResults, m_resultIds);
            if (!ownId || !claimedId)
                continue;
            link.addBindValue(*claimedId);
            link.addBindValue(*ownId);
            if (!link.exec())
                return link.lastError().text();
        }

        qint64 reportsMark = marks.value(QStringLiteral("reports"));
        for (qsizetype at = 0; at < reports.ids.size(); at += kReportsPerInsert) {
            const qsizetype count = std::min<qsizetype>(kReportsPerInsert, reports.ids.size() - at);
            QStringList rows;
            for (qsizetype i = 0; i < count; ++i)
                rows << placeholders(int(kReportColumns.size()) + 1);
            insert.prepare(QStringLiteral("INSERT INTO reports (uid, %1) VALUES %2 ON CONFLICT "
                                          "(uid) DO NOTHING")
                               .arg(kReportColumns.join(QStringLiteral(", ")), rows.join(u',')));
            for (qsizetype i = at; i < at + count; ++i) {
                QList<QVariant> values = reports.values.at(i);
                const std::optional<qint64> owner =
                    schoolId(QStringLiteral("results"), QStringLiteral("r"),
                             values.at(0).toLongLong(), newResults, m_resultIds);
                if (!owner)
                    return QStringLiteral("报告%1的成绩不在学校数据库中").arg(reports.ids.at(i));
                values[0] = *owner;
                insert.addBindValue(uid(QStringLiteral("p"), reports.ids.at(i)));
                for (const QVariant &value : std::as_const(values))
                    insert.addBindValue(value);
            }
            if (!insert.exec())
                return insert.lastError().text();
            reportsMark = reports.ids.at(at + count - 1);
        }

        QSqlQuery mark(m_school_db);
        mark.prepare(QStringLiteral("INSERT INTO copied_marks (store_uid, name, value) VALUES "
                                    "(?, ?, ?) ON CONFLICT (store_uid, name) DO UPDATE SET value "
                                    "= EXCLUDED.value"));
        for (const auto &[name, value] : {std::pair{QStringLiteral("tests"), testsMark},
                                          std::pair{QStringLiteral("results"), resultsMark},
                                          std::pair{QStringLiteral("reports"), reportsMark}}) {
            mark.addBindValue(m_storeUid);
            mark.addBindValue(name);
            mark.addBindValue(value);
            if (!mark.exec())
                return mark.lastError().text();
        }
        result.rows = int(tests.ids.size() + results.ids.size() + reports.ids.size());
        return {};
    }

    QString m_storePath;
    QString m_storeUid;
    SchoolDatabase m_school;
    QString m_name;
    QSqlDatabase m_local;
    QSqlDatabase m_school_db;
    // Ids of rows already in the school's database, by the store's ids.
    QHash<qint64, qint64> m_testIds;
    QHash<qint64, qint64> m_resultIds;
};

SchoolCopy::SchoolCopy(const QString &storePath, const QString &storeUid,
                       const SchoolDatabase &school, QObject *parent)
    : QObject(parent)
    , m_school(school)
    , m_storePath(storePath)
    , m_storeUid(storeUid)
{}

SchoolCopy::~SchoolCopy()
{
    stop();
}

void SchoolCopy::start(int intervalMs)
{
    stop();
    m_worker = new Worker(m_storePath, m_storeUid, m_school);
    m_worker->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_worker,
        [this, intervalMs, worker = m_worker] {
            // Made on the copy's thread, owned by the worker: gone with it.
            auto *timer = new QTimer(worker);
            const auto once = [this, worker] {
                Round round;
                do {
                    round = worker->round();
                    if (!round.error.isEmpty())
                        break;
                    m_copied += round.rows;
                    if (round.rows > 0)
                        emit copied(round.rows);
                } while (round.more);
                const bool reached = round.error.isEmpty();
                if (reached != m_reachable.exchange(reached))
                    emit reachableChanged(reached);
                if (!reached && round.error != worker->lastError)
                    emit failed(round.error);
                worker->lastError = round.error;
            };
            connect(timer, &QTimer::timeout, worker, once);
            timer->start(intervalMs);
            once();
        },
        Qt::QueuedConnection);
}

void SchoolCopy::stop()
{
    if (!m_worker)
        return;
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_worker = nullptr;
    m_thread.quit();
    m_thread.wait();
}

Status SchoolCopy::copyNow()
{
    Worker worker(m_storePath, m_storeUid, m_school);
    Round round;
    do {
        round = worker.round();
        if (!round.error.isEmpty()) {
            m_reachable = false;
            return Status::failure(round.error);
        }
        m_copied += round.rows;
    } while (round.more);
    m_reachable = true;
    return Status::success();
}

#include "SchoolCopy.moc"
