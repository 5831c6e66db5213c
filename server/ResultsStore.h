// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/StoreSchema.h"
#include "server/StudentRow.h"
#include "server/TestSetup.h"

#include <QList>
#include <QLockFile>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QThread>
#include <QTimer>

#include <memory>
#include <optional>

// A test as the store keeps it.
struct StoredTest
{
    qint64 id = 0;
    QString name;
    qint64 startedAt = 0; // ms since 1970, UTC
    qint64 endedAt = 0;   // 0 while it runs
    QString endReason;
    QString banji;   // the class that took it; may be empty
    TestSetup setup; // with the test's pass mark

    bool running() const { return endedAt == 0; }
};

// A setup of the teacher's library: a text and its settings under a name.
struct SavedSetup
{
    QString name;
    TestSetup setup;
    qint64 updatedAt = 0;
};

// A student of the class roster.
struct RosterEntry
{
    QString xuehao;
    QString name;
    QString banji;
    QString computer; // may be empty
};

// The console's results in an embedded database (SQLite through Qt SQL): the tests with their
// setup, the roster, one result per student and test, and every report as it came. Writes
// collect in one transaction that is committed within kCommitMs (and by commit()), so a
// killed console loses at most the reports of that moment; the database runs in WAL mode, so a
// commit is one append and what was committed survives the process. The reports, a class's
// every second, are written by a thread of their own on its own connection, so the window
// never waits for the disk; reads wait until that thread has written what came before. Only
// one console uses a store at a time (a lock file beside it).
//
//   ResultsStore store;
//   if (Status s = store.open(ResultsStore::defaultPath()); !s.ok()) ...
//   store.beginTest(test);                 // test.id is set
//   store.saveResult(test.id, row);        // row.resultId is set on the first save
//   store.appendReport(row.resultId, report, true, flags);
//
// Failures come back as a Status and through failed(), once per distinct error.
class ResultsStore : public QObject
{
    Q_OBJECT
public:
    // The path of a store that lives in memory only, for runs whose results nobody keeps.
    static constexpr char16_t kMemory[] = u":memory:";
    static constexpr int kCommitMs = 100;

    explicit ResultsStore(QObject *parent = nullptr);
    ~ResultsStore() override;

    // Opens (or creates, folder included) the store and brings its tables to the current
    // version. Fails when another console holds it.
    Status open(const QString &path);
    void close();
    bool isOpen() const { return m_db.isOpen(); }
    QString path() const { return m_path; }
    // $XDG_DATA_HOME/chengling-teacher/results.sqlite (~/.local/share/...).
    static QString defaultPath();

    // Tests.
    std::optional<StoredTest> runningTest();
    std::optional<StoredTest> lastTest();
    std::optional<StoredTest> test(qint64 id);
    Status beginTest(StoredTest &test);
    Status endTest(qint64 id, qint64 endedAt, const QString &reason);

    // Results: the row's stored side, inserted the first time and updated after.
    Status saveResult(qint64 testId, StudentRow &row);
    // One report, queued for the next commit.
    void appendReport(qint64 resultId, const protocol::Report &report, bool progress, int flags);
    // The results of a test in the order they were made, with their figures: a finished
    // result's from its own columns, a running one's from its last progress report. The
    // connection side of the rows is left at its defaults.
    QList<StudentRow> results(qint64 testId);
    // Reports stored for a result (the tests read them back).
    int reportCount(qint64 resultId);

    // The roster, in file order.
    Status saveRoster(const QList<RosterEntry> &entries);
    QList<RosterEntry> roster();

    // The teacher's library of setups, by name.
    Status saveSetup(const QString &name, const TestSetup &setup);
    QList<SavedSetup> setups();
    std::optional<SavedSetup> savedSetup(const QString &name);
    Status removeSetup(const QString &name);
    Status renameSetup(const QString &from, const QString &to);
    static constexpr int kMaxSetupName = 100;

    // The store's own key, made when it was created: its rows' keys in the school's database.
    QString uid() const { return m_uid; }
    // The database, for reading the history (everything written so far is in it).
    QSqlDatabase &database();

    // Commits what is waiting now (the reports go to the writing thread).
    Status commit();
    // Commits and waits until the reports are written.
    Status sync();
    int pendingReports() const { return int(m_pending.size()); }

    // A report waiting for the next commit.
    struct PendingReport
    {
        qint64 resultId;
        qint64 receivedAt;
        protocol::Report report;
        bool progress;
        int flags;
    };

signals:
    void failed(const QString &error);

private:
    class ReportWriter;

    bool begin();
    Status fail(const QString &what, const QString &error);
    Status writeReports();
    std::optional<StoredTest> testWhere(const QString &condition, qint64 value = 0);
    Status loadIdentity();

    // Every write of a test or a result takes the next change number: a copy of the store
    // follows the changes in order.
    qint64 m_changeNo = 0;
    QString m_uid;

    QSqlDatabase m_db;
    QString m_connectionName;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    storeschema::Dialect m_dialect = storeschema::Dialect::Sqlite;
    bool m_inTransaction = false;
    QList<PendingReport> m_pending;
    QTimer m_commitTimer;
    QString m_lastError;
    // Prepared inserts of a batch of reports, and of a single one (a store in memory, which has
    // no second connection, writes its reports itself).
    std::unique_ptr<QSqlQuery> m_insertBatch;
    std::unique_ptr<QSqlQuery> m_insertOne;
    QThread m_thread;
    ReportWriter *m_writer = nullptr;
    QString m_writerError;
};
