// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/StoreSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace storeschema {

namespace {

// Version 1: the tests, the roster, one result per student and test, and every report as it
// came. A result holds the figures it was finished with; while it runs, its last report has the
// figures.
const QStringList kVersion1 = {
    QStringLiteral("CREATE TABLE tests ("
                   " id %ID%,"
                   " name VARCHAR(100) NOT NULL,"
                   " started_at BIGINT NOT NULL,"
                   " ended_at BIGINT,"
                   " end_reason VARCHAR(20),"
                   " text_kind SMALLINT NOT NULL,"
                   " text TEXT NOT NULL,"
                   " root_zone SMALLINT NOT NULL,"
                   " root_count INTEGER NOT NULL,"
                   " time_limit INTEGER NOT NULL,"
                   " hint_delay INTEGER NOT NULL,"
                   " ime_rule VARCHAR(100) NOT NULL,"
                   " roots_allowed SMALLINT NOT NULL,"
                   " hints_allowed SMALLINT NOT NULL,"
                   " forbidden TEXT NOT NULL)"),
    QStringLiteral("CREATE TABLE roster ("
                   " id %ID%,"
                   " line_no INTEGER NOT NULL,"
                   " xuehao VARCHAR(32) NOT NULL UNIQUE,"
                   " name VARCHAR(32) NOT NULL,"
                   " banji VARCHAR(32) NOT NULL,"
                   " computer VARCHAR(64) NOT NULL)"),
    QStringLiteral("CREATE TABLE results ("
                   " id %ID%,"
                   " test_id BIGINT NOT NULL REFERENCES tests (id),"
                   " xuehao VARCHAR(32) NOT NULL,"
                   " name VARCHAR(32) NOT NULL,"
                   " banji VARCHAR(32) NOT NULL,"
                   " computer VARCHAR(64) NOT NULL,"
                   " input_method VARCHAR(100) NOT NULL,"
                   " peer VARCHAR(64) NOT NULL,"
                   " other_peer VARCHAR(64) NOT NULL,"
                   " on_roster SMALLINT NOT NULL,"
                   " duplicate_of BIGINT REFERENCES results (id),"
                   " finish SMALLINT NOT NULL,"
                   " flags INTEGER NOT NULL,"
                   " total_time INTEGER,"
                   " txt_count INTEGER,"
                   " input_count INTEGER,"
                   " right_count INTEGER,"
                   " backspaces INTEGER,"
                   " err_chars TEXT NOT NULL,"
                   " updated_at BIGINT NOT NULL)"),
    QStringLiteral("CREATE INDEX results_by_test ON results (test_id)"),
    QStringLiteral("CREATE TABLE reports ("
                   " id %ID%,"
                   " result_id BIGINT NOT NULL REFERENCES results (id),"
                   " received_at BIGINT NOT NULL,"
                   " kind SMALLINT NOT NULL,"
                   " total_time INTEGER NOT NULL,"
                   " txt_count INTEGER NOT NULL,"
                   " input_count INTEGER NOT NULL,"
                   " right_count INTEGER NOT NULL,"
                   " backspaces INTEGER NOT NULL,"
                   " input_method VARCHAR(100) NOT NULL,"
                   " err_chars TEXT NOT NULL,"
                   " flags INTEGER NOT NULL)"),
    QStringLiteral("CREATE INDEX reports_by_result ON reports (result_id, id)"),
};

// Version 2: a test's class and pass mark; saved setups; a change number on every test and
// result and a key of its own on every row (the store's key and the row's id), so that a copy
// of the store in the school's database takes each change once, however often it is sent; the
// store's own key.
const QStringList kVersion2 = {
    QStringLiteral("ALTER TABLE tests ADD COLUMN banji VARCHAR(32) NOT NULL DEFAULT ''"),
    QStringLiteral("ALTER TABLE tests ADD COLUMN pass_speed INTEGER NOT NULL DEFAULT 40"),
    QStringLiteral("ALTER TABLE tests ADD COLUMN pass_accuracy INTEGER NOT NULL DEFAULT 95"),
    QStringLiteral("ALTER TABLE tests ADD COLUMN change_no BIGINT NOT NULL DEFAULT 0"),
    QStringLiteral("ALTER TABLE tests ADD COLUMN uid VARCHAR(80)"),
    QStringLiteral("ALTER TABLE results ADD COLUMN change_no BIGINT NOT NULL DEFAULT 0"),
    QStringLiteral("ALTER TABLE results ADD COLUMN uid VARCHAR(80)"),
    QStringLiteral("ALTER TABLE reports ADD COLUMN uid VARCHAR(80)"),
    QStringLiteral("CREATE UNIQUE INDEX tests_by_uid ON tests (uid)"),
    QStringLiteral("CREATE UNIQUE INDEX results_by_uid ON results (uid)"),
    QStringLiteral("CREATE UNIQUE INDEX reports_by_uid ON reports (uid)"),
    QStringLiteral("CREATE INDEX tests_by_change ON tests (change_no)"),
    QStringLiteral("CREATE INDEX results_by_change ON results (change_no)"),
    QStringLiteral("CREATE INDEX results_by_number ON results (xuehao)"),
    QStringLiteral("CREATE INDEX tests_by_class ON tests (banji, started_at)"),
    QStringLiteral("CREATE TABLE setups ("
                   " id %ID%,"
                   " name VARCHAR(100) NOT NULL UNIQUE,"
                   " text_kind SMALLINT NOT NULL,"
                   " text TEXT NOT NULL,"
                   " root_zone SMALLINT NOT NULL,"
                   " root_count INTEGER NOT NULL,"
                   " time_limit INTEGER NOT NULL,"
                   " hint_delay INTEGER NOT NULL,"
                   " ime_rule VARCHAR(100) NOT NULL,"
                   " roots_allowed SMALLINT NOT NULL,"
                   " hints_allowed SMALLINT NOT NULL,"
                   " forbidden TEXT NOT NULL,"
                   " pass_speed INTEGER NOT NULL,"
                   " pass_accuracy INTEGER NOT NULL,"
                   " updated_at BIGINT NOT NULL)"),
    QStringLiteral("CREATE TABLE store_info ("
                   " name VARCHAR(32) NOT NULL PRIMARY KEY,"
                   " value TEXT NOT NULL)"),
    // In the school's database: how far each console's store has been copied, written in the
    // same transaction as the rows.
    QStringLiteral("CREATE TABLE copied_marks ("
                   " store_uid VARCHAR(40) NOT NULL,"
                   " name VARCHAR(16) NOT NULL,"
                   " value BIGINT NOT NULL,"
                   " PRIMARY KEY (store_uid, name))"),
};

QString sqlError(const QSqlQuery &query)
{
    return query.lastError().text();
}

} // namespace

const QList<Migration> &migrations()
{
    static const QList<Migration> all = {{1, kVersion1}, {2, kVersion2}};
    return all;
}

int currentVersion()
{
    return migrations().last().version;
}

QString statement(const QString &text, Dialect dialect)
{
    QString sql = text;
    sql.replace(QStringLiteral("%ID%"), dialect == Dialect::Sqlite
                                            ? QStringLiteral("INTEGER PRIMARY KEY")
                                            : QStringLiteral("BIGINT GENERATED BY DEFAULT AS "
                                                             "IDENTITY PRIMARY KEY"));
    return sql;
}

int version(QSqlDatabase &db, QString *error)
{
    if (!db.tables().contains(QStringLiteral("store_schema")))
        return 0;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT version FROM store_schema")) || !query.next()) {
        if (error)
            *error = QStringLiteral("store_schema has no version: ") + sqlError(query);
        return -1;
    }
    return query.value(0).toInt();
}

Status migrate(QSqlDatabase &db, Dialect dialect, const QList<Migration> &steps)
{
    QString error;
    int at = version(db, &error);
    if (at < 0)
        return Status::failure(error);
    const int newest = steps.isEmpty() ? 0 : steps.last().version;
    if (at > newest)
        return Status::failure(
            QStringLiteral("结果库是较新版本的控制台写的（版本%1，本程序只认识到版本%2），"
                           "未做任何改动")
                .arg(at)
                .arg(newest));
    for (const Migration &step : steps) {
        if (step.version <= at)
            continue;
        if (!db.transaction())
            return Status::failure(db.lastError().text());
        QSqlQuery query(db);
        QStringList statements = step.statements;
        if (at == 0)
            statements.prepend(
                QStringLiteral("CREATE TABLE store_schema (version INTEGER NOT NULL)"));
        statements << (at == 0 ? QStringLiteral("INSERT INTO store_schema (version) VALUES (%1)")
                               : QStringLiteral("UPDATE store_schema SET version = %1"))
                          .arg(step.version);
        for (const QString &text : std::as_const(statements)) {
            if (!query.exec(statement(text, dialect))) {
                const QString failure = sqlError(query);
                db.rollback();
                return Status::failure(QStringLiteral("结果库升级到版本%1失败：%2（%3）")
                                           .arg(step.version)
                                           .arg(failure, text.left(60)));
            }
        }
        query.finish();
        if (!db.commit()) {
            const QString failure = db.lastError().text();
            db.rollback();
            return Status::failure(failure);
        }
        at = step.version;
    }
    return Status::success();
}

QString setupColumns(const QString &prefix)
{
    static const QStringList names = {
        QStringLiteral("text_kind"),     QStringLiteral("root_zone"),
        QStringLiteral("root_count"),    QStringLiteral("time_limit"),
        QStringLiteral("hint_delay"),    QStringLiteral("ime_rule"),
        QStringLiteral("roots_allowed"), QStringLiteral("hints_allowed"),
        QStringLiteral("forbidden"),     QStringLiteral("pass_speed"),
        QStringLiteral("pass_accuracy")};
    static_assert(kSetupColumnCount == 11);
    QStringList columns;
    for (const QString &name : names)
        columns << prefix + name;
    return columns.join(QStringLiteral(", "));
}

void readSetup(const QSqlQuery &query, int first, TestSetup &s)
{
    const int kind = query.value(first).toInt();
    s.kind = kind >= 0 && kind <= 2 ? TestSetup::Kind(kind) : TestSetup::Kind::Plain;
    s.rootZone = query.value(first + 1).toInt();
    s.rootCount = query.value(first + 2).toInt();
    s.timeLimit = query.value(first + 3).toInt();
    s.hintDelay = query.value(first + 4).toInt();
    s.inputMethodRule = query.value(first + 5).toString();
    s.rootsAllowed = query.value(first + 6).toInt() != 0;
    s.hintsAllowed = query.value(first + 7).toInt() != 0;
    s.forbidden = query.value(first + 8).toString();
    s.passSpeed = query.value(first + 9).toInt();
    s.passAccuracy = query.value(first + 10).toInt();
}

} // namespace storeschema
