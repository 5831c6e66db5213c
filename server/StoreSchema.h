// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/TestSetup.h"

#include <QList>
#include <QString>
#include <QStringList>

class QSqlDatabase;
class QSqlQuery;

// The results store's tables and their versions. Each version is a list of statements that
// takes a store from the version before to it; a store records the version it is at in
// store_schema, and opening it runs the steps it has not had yet, each in one transaction, so a
// store is always at one version or the next, never in between.
//
// The statements keep to SQL that SQLite and PostgreSQL both read: BIGINT for times (ms since
// 1970, UTC) and ids, SMALLINT for small numbers and switches, TEXT and VARCHAR, no upserts;
// the one difference, the column type of a generated key, is written %ID% and filled in per
// database.
namespace storeschema {

enum class Dialect { Sqlite, Postgres };

struct Migration
{
    int version = 0;
    QStringList statements;
};

// Every version of the store, oldest first.
const QList<Migration> &migrations();
// The newest version this program knows.
int currentVersion();

// A statement with %ID% filled in for the database.
QString statement(const QString &text, Dialect dialect);

// The version a store is at: 0 for an empty one (no store_schema table yet).
int version(QSqlDatabase &db, QString *error = nullptr);
// Brings the store to the last version of `steps`. A store newer than that is refused and left
// alone; a step that fails is rolled back and named in the error, the store stays at the version
// before it.
Status migrate(QSqlDatabase &db, Dialect dialect, const QList<Migration> &steps = migrations());

// The columns of a test's setup other than its text, as the tests and the setups tables both
// name them, in the order readSetup reads them; `prefix` qualifies each ("t.").
QString setupColumns(const QString &prefix = {});
inline constexpr int kSetupColumnCount = 11;
// Reads a setup (all but its text) from `query`'s columns `first` on, in setupColumns' order.
void readSetup(const QSqlQuery &query, int first, TestSetup &setup);

} // namespace storeschema
