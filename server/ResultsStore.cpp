// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ResultsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QStandardPaths>
#include <QUuid>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

// Reports written by one statement: fewer statements, and well inside SQLite's limit of bound
// values (11 a report).
constexpr int kBatch = 64;
constexpr int kReportValues = 11;

const QString kReportInsert = QStringLiteral(
    "INSERT INTO reports (result_id, received_at, kind, total_time, txt_count, input_count, "
    "right_count, backspaces, input_method, err_chars, flags) VALUES ");

QString reportValues(int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    return kReportInsert + rows.join(u',');
}

// Text columns are NOT NULL: an empty text is stored as such, not as NULL.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(value);
}

QVariant orNull(const protocol::Report *figures, int protocol::Report::*member)
{
    return figures ? QVariant(figures->*member) : QVariant(QMetaType(QMetaType::Int));
}

// Writes reports with the two prepared inserts; the error, empty when all went in.
QString insertReports(QSqlQuery &batchInsert, QSqlQuery &oneInsert,
                      const QList<ResultsStore::PendingReport> &pending)
{
    qsizetype at = 0;
    while (at < pending.size()) {
        const bool batch = pending.size() - at >= kBatch;
        QSqlQuery &query = batch ? batchInsert : oneInsert;
        const int count = batch ? kBatch : 1;
        int position = 0;
        for (int i = 0; i < count; ++i) {
            const ResultsStore::PendingReport &p = pending.at(at + i);
            const protocol::Report &r = p.report;
            query.bindValue(position++, p.resultId);
            query.bindValue(position++, p.receivedAt);
            query.bindValue(position++, p.progress ? 1099 : 1098);
            query.bindValue(position++, r.totalTime);
            query.bindValue(position++, r.txtCount);
            query.bindValue(position++, r.inputCount);
            query.bindValue(position++, r.right);
            query.bindValue(position++, r.backspaces);
            query.bindValue(position++, text(r.inputMethod));
            query.bindValue(position++, text(r.errChars));
            query.bindValue(position++, p.flags);
        }
        Q_ASSERT(position == count * kReportValues);
        if (!query.exec())
            return query.lastError().text();
        at += count;
    }
    return {};
}

const QStringList kPragmas = {
    QStringLiteral("PRAGMA journal_mode = WAL"), QStringLiteral("PRAGMA synchronous = NORMAL"),
    QStringLiteral("PRAGMA foreign_keys = ON"), QStringLiteral("PRAGMA busy_timeout = 5000")};

} // namespace

// The reports of a store on disk, written on a thread and a connection of their own: a batch
// is one transaction.
class ResultsStore::ReportWriter : public QObject
{
    Q_OBJECT
public:
    explicit ReportWriter(const QString &connectionName)
        : m_connectionName(connectionName)
    {}

    QString open(const QString &path)
    {
#ifdef Q_OS_LINUX
        // Background work: a class's reports may wait a moment for the window, which paints
        // them; on a busy computer the window comes first (nice 10 for this thread alone).
        setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 10);
#endif
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        m_db.setDatabaseName(path);
        if (!m_db.open())
            return m_db.lastError().text();
        QSqlQuery pragma(m_db);
        for (const QString &text : kPragmas)
            if (!pragma.exec(text))
                return pragma.lastError().text();
        pragma.finish();
        m_batch = std::make_unique<QSqlQuery>(m_db);
        m_one = std::make_unique<QSqlQuery>(m_db);
        if (!m_batch->prepare(reportValues(kBatch)) || !m_one->prepare(reportValues(1)))
            return m_batch->lastError().text();
        return {};
    }
    void write(const QList<ResultsStore::PendingReport> &pending)
    {
        if (!m_batch)
            return;
        if (!m_db.transaction()) {
            emit failed(m_db.lastError().text());
            return;
        }
        if (const QString error = insertReports(*m_batch, *m_one, pending); !error.isEmpty()) {
            m_db.rollback();
            emit failed(error);
            return;
        }
        if (!m_db.commit()) {
            const QString error = m_db.lastError().text();
            m_db.rollback();
            emit failed(error);
        }
    }
    void close()
    {
        m_batch.reset();
        m_one.reset();
        if (m_db.isValid()) {
            m_db.close();
            m_db = {};
            QSqlDatabase::removeDatabase(m_connectionName);
        }
    }

signals:
    void failed(const QString &error);

private:
    QString m_connectionName;
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_batch;
    std::unique_ptr<QSqlQuery> m_one;
};

ResultsStore::ResultsStore(QObject *parent)
    : QObject(parent)
    , m_connectionName(QStringLiteral("results-store-%1").arg(quintptr(this)))
{
    m_commitTimer.setSingleShot(true);
    connect(&m_commitTimer, &QTimer::timeout, this, [this] { (void)commit(); });
}

ResultsStore::~ResultsStore()
{
    close();
}

QString ResultsStore::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("chengling-teacher/results.sqlite"));
}

Status ResultsStore::open(const QString &path)
{
    close();
    const bool memory = path == QString::fromUtf16(kMemory);
    if (!memory) {
        const QFileInfo info(path);
        const QString folder = info.absolutePath();
        if (!QDir(folder).exists()) {
            if (!QDir().mkpath(folder))
                return Status::failure(QStringLiteral("无法建立结果库的文件夹 %1").arg(folder));
            // The students' names and results are for the teacher only.
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        m_lock = std::make_unique<QLockFile>(info.absoluteFilePath() + QStringLiteral(".lock"));
        // A lock left by a console that is gone is taken over at once.
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(0)) {
            qint64 pid = 0;
            QString host;
            QString app;
            m_lock->getLockInfo(&pid, &host, &app);
            m_lock.reset();
            return Status::failure(
                QStringLiteral("结果库 %1 正由另一个控制台使用（进程 %2）").arg(path).arg(pid));
        }
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!m_db.isValid()) {
        m_db = {};
        QSqlDatabase::removeDatabase(m_connectionName);
        m_lock.reset();
        return Status::failure(
            QStringLiteral("Qt 的 SQLite 驱动不可用（请安装 libqt6sql6-sqlite）"));
    }
    m_db.setDatabaseName(memory ? path : QFileInfo(path).absoluteFilePath());
    if (!m_db.open()) {
        const QString error = m_db.lastError().text();
        close();
        return Status::failure(QStringLiteral("无法打开结果库 %1：%2").arg(path, error));
    }
    QSqlQuery pragma(m_db);
    // WAL: a commit appends to the log, readers never wait, and a killed process loses nothing
    // it committed. NORMAL synchronisation syncs the log at checkpoints: a crash of the
    // computer itself may lose the last commits, never the database.
    for (const QString &text : kPragmas) {
        if (!pragma.exec(text)) {
            const QString error = pragma.lastError().text();
            close();
            return Status::failure(QStringLiteral("结果库 %1：%2").arg(path, error));
        }
    }
    if (!memory) {
        pragma.exec(QStringLiteral("PRAGMA journal_mode"));
        if (!pragma.next() || pragma.value(0).toString().compare(u"wal", Qt::CaseInsensitive)) {
            close();
            return Status::failure(
                QStringLiteral("结果库 %1 不能使用预写日志（WAL），文件系统不支持？").arg(path));
        }
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    // The reports' thread writes the most: it moves the log into the database now and then, so
    // a commit of the window's never has to.
    if (!memory)
        pragma.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
    // A statement left open would keep every later transaction from committing.
    pragma.finish();
    if (const Status status = storeschema::migrate(m_db, m_dialect); !status.ok()) {
        close();
        return Status::failure(QStringLiteral("结果库 %1：%2").arg(path, status.error));
    }
    if (const Status status = loadIdentity(); !status.ok()) {
        close();
        return Status::failure(QStringLiteral("结果库 %1：%2").arg(path, status.error));
    }
    m_path = path;
    m_insertBatch = std::make_unique<QSqlQuery>(m_db);
    m_insertOne = std::make_unique<QSqlQuery>(m_db);
    if (!m_insertBatch->prepare(reportValues(kBatch)) || !m_insertOne->prepare(reportValues(1))) {
        const QString error = m_insertBatch->lastError().text();
        close();
        return Status::failure(error);
    }
    if (!memory) {
        m_writer = new ReportWriter(m_connectionName + QStringLiteral("-reports"));
        m_writer->moveToThread(&m_thread);
        connect(m_writer, &ReportWriter::failed, this,
                [this](const QString &error) { (void)fail(QStringLiteral("记录报告"), error); });
        m_thread.start();
        QString error;
        const QString file = QFileInfo(path).absoluteFilePath();
        QMetaObject::invokeMethod(
            m_writer, [this, file, &error] { error = m_writer->open(file); },
            Qt::BlockingQueuedConnection);
        if (!error.isEmpty()) {
            close();
            return Status::failure(QStringLiteral("结果库 %1：%2").arg(path, error));
        }
    }
    return Status::success();
}

Status ResultsStore::loadIdentity()
{
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT MAX(change_no) FROM tests")) || !query.next())
        return Status::failure(query.lastError().text());
    m_changeNo = query.value(0).toLongLong();
    if (!query.exec(QStringLiteral("SELECT MAX(change_no) FROM results")) || !query.next())
        return Status::failure(query.lastError().text());
    m_changeNo = std::max(m_changeNo, query.value(0).toLongLong());
    if (!query.exec(QStringLiteral("SELECT value FROM store_info WHERE name = 'uid'")))
        return Status::failure(query.lastError().text());
    if (query.next()) {
        m_uid = query.value(0).toString();
        return Status::success();
    }
    m_uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    query.prepare(QStringLiteral("INSERT INTO store_info (name, value) VALUES ('uid', ?)"));
    query.addBindValue(m_uid);
    if (!query.exec())
        return Status::failure(query.lastError().text());
    return Status::success();
}

QSqlDatabase &ResultsStore::database()
{
    (void)sync();
    return m_db;
}

void ResultsStore::close()
{
    // A store that failed half-way through opening has nothing to write.
    if (m_db.isOpen() && !m_path.isEmpty())
        (void)sync();
    if (m_writer) {
        QMetaObject::invokeMethod(
            m_writer, [this] { m_writer->close(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
        delete m_writer;
        m_writer = nullptr;
    }
    m_commitTimer.stop();
    m_insertBatch.reset();
    m_insertOne.reset();
    m_pending.clear();
    if (m_db.isValid()) {
        m_db.close();
        m_db = {};
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_inTransaction = false;
    m_lock.reset();
    m_path.clear();
    m_uid.clear();
    m_changeNo = 0;
}

bool ResultsStore::begin()
{
    if (!m_db.isOpen())
        return false;
    if (!m_inTransaction) {
        if (!m_db.transaction()) {
            (void)fail(QStringLiteral("开始事务"), m_db.lastError().text());
            return false;
        }
        m_inTransaction = true;
    }
    if (!m_commitTimer.isActive())
        m_commitTimer.start(kCommitMs);
    return true;
}

Status ResultsStore::fail(const QString &what, const QString &error)
{
    const QString text = QStringLiteral("结果库%1失败：%2").arg(what, error);
    if (text != m_lastError) {
        m_lastError = text;
        emit failed(text);
    }
    return Status::failure(text);
}

Status ResultsStore::commit()
{
    m_commitTimer.stop();
    if (!m_db.isOpen())
        return Status::failure(QStringLiteral("结果库没有打开"));
    Status written = Status::success();
    if (!m_writer) {
        if (!m_pending.isEmpty() && !begin())
            return Status::failure(m_lastError);
        written = writeReports();
    }
    if (m_inTransaction) {
        m_inTransaction = false;
        if (!m_db.commit()) {
            const QString error = m_db.lastError().text();
            m_db.rollback();
            return fail(QStringLiteral("写入"), error);
        }
    }
    // The results the reports refer to are committed: the reports may follow.
    if (m_writer && !m_pending.isEmpty()) {
        QMetaObject::invokeMethod(
            m_writer,
            [writer = m_writer, pending = std::exchange(m_pending, {})] { writer->write(pending); },
            Qt::QueuedConnection);
    }
    return written;
}

Status ResultsStore::sync()
{
    Status status = commit();
    if (m_writer)
        QMetaObject::invokeMethod(
            m_writer, [] {}, Qt::BlockingQueuedConnection);
    return status;
}

Status ResultsStore::writeReports()
{
    if (m_pending.isEmpty() || !m_insertBatch || !m_insertOne)
        return Status::success();
    const QList<PendingReport> pending = std::exchange(m_pending, {});
    const QString error = insertReports(*m_insertBatch, *m_insertOne, pending);
    return error.isEmpty() ? Status::success() : fail(QStringLiteral("记录报告"), error);
}

void ResultsStore::appendReport(qint64 resultId, const protocol::Report &report, bool progress,
                                int flags)
{
    if (!m_db.isOpen() || resultId <= 0)
        return;
    m_pending.append({resultId, QDateTime::currentMSecsSinceEpoch(), report, progress, flags});
    if (!m_commitTimer.isActive())
        m_commitTimer.start(kCommitMs);
}

std::optional<StoredTest> ResultsStore::testWhere(const QString &condition, qint64 value)
{
    if (!m_db.isOpen())
        return std::nullopt;
    QSqlQuery query(m_db);
    query.prepare(
        QStringLiteral("SELECT id, name, started_at, ended_at, end_reason, banji, text, ") +
        storeschema::setupColumns() + QStringLiteral(" FROM tests ") + condition);
    if (condition.contains(u'?'))
        query.addBindValue(value);
    if (!query.exec()) {
        (void)fail(QStringLiteral("读取测试"), query.lastError().text());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    StoredTest test;
    test.id = query.value(0).toLongLong();
    test.name = query.value(1).toString();
    test.startedAt = query.value(2).toLongLong();
    test.endedAt = query.value(3).isNull() ? 0 : query.value(3).toLongLong();
    test.endReason = query.value(4).toString();
    test.banji = query.value(5).toString();
    test.setup.text = query.value(6).toString();
    storeschema::readSetup(query, 7, test.setup);
    return test;
}

std::optional<StoredTest> ResultsStore::runningTest()
{
    return testWhere(QStringLiteral("WHERE ended_at IS NULL ORDER BY id DESC LIMIT 1"));
}

std::optional<StoredTest> ResultsStore::lastTest()
{
    return testWhere(QStringLiteral("ORDER BY id DESC LIMIT 1"));
}

std::optional<StoredTest> ResultsStore::test(qint64 id)
{
    return testWhere(QStringLiteral("WHERE id = ?"), id);
}

Status ResultsStore::beginTest(StoredTest &test)
{
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral(
        "INSERT INTO tests (name, started_at, ended_at, end_reason, text_kind, text, root_zone, "
        "root_count, time_limit, hint_delay, ime_rule, roots_allowed, hints_allowed, forbidden, "
        "banji, pass_speed, pass_accuracy, change_no) "
        "VALUES (?, ?, NULL, NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const TestSetup &s = test.setup;
    for (const QVariant &value :
         {text(test.name), QVariant(test.startedAt), QVariant(int(s.kind)), text(s.text),
          QVariant(s.rootZone), QVariant(s.rootCount), QVariant(s.timeLimit), QVariant(s.hintDelay),
          text(s.inputMethodRule), QVariant(int(s.rootsAllowed)), QVariant(int(s.hintsAllowed)),
          text(s.forbidden), text(test.banji), QVariant(s.passSpeed), QVariant(s.passAccuracy),
          QVariant(++m_changeNo)})
        query.addBindValue(value);
    if (!query.exec())
        return fail(QStringLiteral("记录测试"), query.lastError().text());
    // SQLite gives the new key here; on PostgreSQL the insert would end in "RETURNING id".
    test.id = query.lastInsertId().toLongLong();
    test.endedAt = 0;
    // A test is where everything else hangs: it is on disk before anything refers to it.
    return commit();
}

Status ResultsStore::endTest(qint64 id, qint64 endedAt, const QString &reason)
{
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral(
        "UPDATE tests SET ended_at = ?, end_reason = ?, change_no = ? WHERE id = ?"));
    query.addBindValue(endedAt);
    query.addBindValue(text(reason));
    query.addBindValue(++m_changeNo);
    query.addBindValue(id);
    if (!query.exec())
        return fail(QStringLiteral("结束测试"), query.lastError().text());
    return commit();
}

Status ResultsStore::saveResult(qint64 testId, StudentRow &row)
{
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    const QString columns = QStringLiteral(
        "xuehao = ?, name = ?, banji = ?, computer = ?, input_method = ?, peer = ?, "
        "other_peer = ?, on_roster = ?, duplicate_of = ?, finish = ?, flags = ?, total_time = ?, "
        "txt_count = ?, input_count = ?, right_count = ?, backspaces = ?, err_chars = ?, "
        "updated_at = ?, change_no = ?");
    if (row.resultId > 0) {
        query.prepare(QStringLiteral("UPDATE results SET ") + columns +
                      QStringLiteral(" WHERE id = ?"));
    } else {
        query.prepare(QStringLiteral(
            "INSERT INTO results (xuehao, name, banji, computer, input_method, peer, "
            "other_peer, on_roster, duplicate_of, finish, flags, total_time, txt_count, "
            "input_count, right_count, backspaces, err_chars, updated_at, change_no, test_id) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    }
    const protocol::Report *figures = row.figures();
    query.addBindValue(text(row.xuehao));
    query.addBindValue(text(row.name));
    query.addBindValue(text(row.banji));
    query.addBindValue(text(row.computer));
    query.addBindValue(text(row.inputMethod));
    query.addBindValue(text(row.peer));
    query.addBindValue(text(row.otherPeer));
    query.addBindValue(int(row.onRoster));
    query.addBindValue(row.duplicateOf > 0 ? QVariant(row.duplicateOf)
                                           : QVariant(QMetaType(QMetaType::LongLong)));
    query.addBindValue(int(row.finish));
    query.addBindValue(row.flags);
    query.addBindValue(orNull(figures, &protocol::Report::totalTime));
    query.addBindValue(orNull(figures, &protocol::Report::txtCount));
    query.addBindValue(orNull(figures, &protocol::Report::inputCount));
    query.addBindValue(orNull(figures, &protocol::Report::right));
    query.addBindValue(orNull(figures, &protocol::Report::backspaces));
    query.addBindValue(text(row.errChars()));
    query.addBindValue(QDateTime::currentMSecsSinceEpoch());
    query.addBindValue(++m_changeNo);
    query.addBindValue(row.resultId > 0 ? row.resultId : testId);
    if (!query.exec())
        return fail(QStringLiteral("记录成绩"), query.lastError().text());
    if (row.resultId <= 0)
        row.resultId = query.lastInsertId().toLongLong();
    return Status::success();
}

QList<StudentRow> ResultsStore::results(qint64 testId)
{
    QList<StudentRow> rows;
    if (!m_db.isOpen())
        return rows;
    (void)sync();
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral(
        "SELECT id, xuehao, name, banji, computer, input_method, peer, other_peer, on_roster, "
        "duplicate_of, finish, flags, total_time, txt_count, input_count, right_count, "
        "backspaces, err_chars FROM results WHERE test_id = ? ORDER BY id"));
    query.addBindValue(testId);
    if (!query.exec()) {
        (void)fail(QStringLiteral("读取成绩"), query.lastError().text());
        return rows;
    }
    QHash<qint64, qsizetype> byId;
    while (query.next()) {
        StudentRow row;
        row.resultId = query.value(0).toLongLong();
        row.xuehao = query.value(1).toString();
        row.name = query.value(2).toString();
        row.banji = query.value(3).toString();
        row.computer = query.value(4).toString();
        row.inputMethod = query.value(5).toString();
        row.peer = query.value(6).toString();
        row.otherPeer = query.value(7).toString();
        row.onRoster = query.value(8).toInt() != 0;
        row.duplicateOf = query.value(9).isNull() ? 0 : query.value(9).toLongLong();
        const int finish = query.value(10).toInt();
        row.finish = finish >= 0 && finish <= int(StudentRow::Finish::ClassTimeUp)
                         ? StudentRow::Finish(finish)
                         : StudentRow::Finish::None;
        row.flags = query.value(11).toInt();
        if (!query.value(12).isNull()) {
            protocol::Report figures;
            figures.xuehao = row.xuehao;
            figures.name = row.name;
            figures.banji = row.banji;
            figures.totalTime = query.value(12).toInt();
            figures.txtCount = query.value(13).toInt();
            figures.inputCount = query.value(14).toInt();
            figures.right = query.value(15).toInt();
            figures.backspaces = query.value(16).toInt();
            figures.errChars = query.value(17).toString();
            figures.inputMethod = row.inputMethod;
            figures.computer = row.computer;
            if (row.finished())
                row.final = figures;
            else
                row.live = figures;
        }
        row.state = row.finished()
                        ? StudentRow::State::Finished
                        : (row.identified() && row.figures() ? StudentRow::State::Gone
                                                             : StudentRow::State::Absent);
        byId.insert(row.resultId, rows.size());
        rows << row;
    }
    // The last progress report of every result: the figures of a running one, the error
    // characters and input method of a finished one.
    QSqlQuery last(m_db);
    last.prepare(QStringLiteral(
        "SELECT result_id, total_time, txt_count, input_count, right_count, backspaces, "
        "input_method, err_chars FROM reports WHERE id IN (SELECT MAX(p.id) FROM reports p "
        "JOIN results s ON s.id = p.result_id WHERE s.test_id = ? AND p.kind = 1099 "
        "GROUP BY p.result_id)"));
    last.addBindValue(testId);
    if (!last.exec()) {
        (void)fail(QStringLiteral("读取报告"), last.lastError().text());
        return rows;
    }
    while (last.next()) {
        const qsizetype at = byId.value(last.value(0).toLongLong(), -1);
        if (at < 0)
            continue;
        StudentRow &row = rows[at];
        protocol::Report report;
        report.xuehao = row.xuehao;
        report.name = row.name;
        report.banji = row.banji;
        report.totalTime = last.value(1).toInt();
        report.txtCount = last.value(2).toInt();
        report.inputCount = last.value(3).toInt();
        report.right = last.value(4).toInt();
        report.backspaces = last.value(5).toInt();
        report.inputMethod = last.value(6).toString();
        report.errChars = last.value(7).toString();
        report.computer = row.computer;
        row.live = report;
        if (!row.finished() && row.state == StudentRow::State::Absent)
            row.state = StudentRow::State::Gone;
    }
    return rows;
}

int ResultsStore::reportCount(qint64 resultId)
{
    if (!m_db.isOpen())
        return 0;
    (void)sync();
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM reports WHERE result_id = ?"));
    query.addBindValue(resultId);
    if (!query.exec() || !query.next())
        return 0;
    return query.value(0).toInt();
}

Status ResultsStore::saveRoster(const QList<RosterEntry> &entries)
{
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("DELETE FROM roster")))
        return fail(QStringLiteral("记录名单"), query.lastError().text());
    query.prepare(QStringLiteral(
        "INSERT INTO roster (line_no, xuehao, name, banji, computer) VALUES (?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const RosterEntry &entry = entries.at(i);
        query.addBindValue(int(i + 1));
        query.addBindValue(text(entry.xuehao));
        query.addBindValue(text(entry.name));
        query.addBindValue(text(entry.banji));
        query.addBindValue(text(entry.computer));
        if (!query.exec())
            return fail(QStringLiteral("记录名单"), query.lastError().text());
    }
    return commit();
}

QList<RosterEntry> ResultsStore::roster()
{
    QList<RosterEntry> entries;
    if (!m_db.isOpen())
        return entries;
    QSqlQuery query(m_db);
    if (!query.exec(
            QStringLiteral("SELECT xuehao, name, banji, computer FROM roster ORDER BY line_no"))) {
        (void)fail(QStringLiteral("读取名单"), query.lastError().text());
        return entries;
    }
    while (query.next())
        entries.append({query.value(0).toString(), query.value(1).toString(),
                        query.value(2).toString(), query.value(3).toString()});
    return entries;
}

namespace {

// A saved setup's columns: its text, the setup's own, when it was saved.
const QString kSetupColumns =
    QStringLiteral("text, ") + storeschema::setupColumns() + QStringLiteral(", updated_at");

// In kSetupColumns' order.
QList<QVariant> setupValues(const TestSetup &s)
{
    return {text(s.text),
            QVariant(int(s.kind)),
            QVariant(s.rootZone),
            QVariant(s.rootCount),
            QVariant(s.timeLimit),
            QVariant(s.hintDelay),
            text(s.inputMethodRule),
            QVariant(int(s.rootsAllowed)),
            QVariant(int(s.hintsAllowed)),
            text(s.forbidden),
            QVariant(s.passSpeed),
            QVariant(s.passAccuracy),
            QVariant(QDateTime::currentMSecsSinceEpoch())};
}

} // namespace

Status ResultsStore::saveSetup(const QString &name, const TestSetup &setup)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > kMaxSetupName)
        return Status::failure(
            QStringLiteral("试题的名称不能为空，最多%1个字符").arg(kMaxSetupName));
    if (const Status status = setup.checkPassMark(); !status.ok())
        return status;
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE setups SET ") +
                  kSetupColumns.split(QStringLiteral(", ")).join(QStringLiteral(" = ?, ")) +
                  QStringLiteral(" = ? WHERE name = ?"));
    for (const QVariant &value : setupValues(setup))
        query.addBindValue(value);
    query.addBindValue(trimmed);
    if (!query.exec())
        return fail(QStringLiteral("保存试题"), query.lastError().text());
    if (query.numRowsAffected() == 0) {
        query.prepare(QStringLiteral("INSERT INTO setups (name, ") + kSetupColumns +
                      QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        query.addBindValue(trimmed);
        for (const QVariant &value : setupValues(setup))
            query.addBindValue(value);
        if (!query.exec())
            return fail(QStringLiteral("保存试题"), query.lastError().text());
    }
    return commit();
}

QList<SavedSetup> ResultsStore::setups()
{
    QList<SavedSetup> list;
    if (!m_db.isOpen())
        return list;
    QSqlQuery query(m_db);
    if (!query.exec(QStringLiteral("SELECT name, ") + kSetupColumns +
                    QStringLiteral(" FROM setups ORDER BY name"))) {
        (void)fail(QStringLiteral("读取试题"), query.lastError().text());
        return list;
    }
    while (query.next()) {
        SavedSetup saved;
        saved.name = query.value(0).toString();
        saved.setup.text = query.value(1).toString();
        storeschema::readSetup(query, 2, saved.setup);
        saved.updatedAt = query.value(2 + storeschema::kSetupColumnCount).toLongLong();
        list << saved;
    }
    return list;
}

std::optional<SavedSetup> ResultsStore::savedSetup(const QString &name)
{
    for (const SavedSetup &saved : setups())
        if (saved.name == name.trimmed())
            return saved;
    return std::nullopt;
}

Status ResultsStore::removeSetup(const QString &name)
{
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("DELETE FROM setups WHERE name = ?"));
    query.addBindValue(name.trimmed());
    if (!query.exec())
        return fail(QStringLiteral("删除试题"), query.lastError().text());
    if (query.numRowsAffected() == 0)
        return Status::failure(QStringLiteral("没有名为“%1”的试题").arg(name.trimmed()));
    return commit();
}

Status ResultsStore::renameSetup(const QString &from, const QString &to)
{
    const QString target = to.trimmed();
    if (target.isEmpty() || target.size() > kMaxSetupName)
        return Status::failure(
            QStringLiteral("试题的名称不能为空，最多%1个字符").arg(kMaxSetupName));
    if (target != from.trimmed() && savedSetup(target))
        return Status::failure(QStringLiteral("已有名为“%1”的试题").arg(target));
    if (!begin())
        return Status::failure(QStringLiteral("结果库没有打开"));
    QSqlQuery query(m_db);
    query.prepare(QStringLiteral("UPDATE setups SET name = ? WHERE name = ?"));
    query.addBindValue(target);
    query.addBindValue(from.trimmed());
    if (!query.exec())
        return fail(QStringLiteral("重命名试题"), query.lastError().text());
    if (query.numRowsAffected() == 0)
        return Status::failure(QStringLiteral("没有名为“%1”的试题").arg(from.trimmed()));
    return commit();
}

#include "ResultsStore.moc"
