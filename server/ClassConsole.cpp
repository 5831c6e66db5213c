// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ClassConsole.h"

#include "core/Figures.h"
#include "core/Gbk.h"
#include "server/ConsoleFormat.h"
#include "server/ResultsCsv.h"
#include "server/RosterFile.h"
#include "server/TestServer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>

ClassConsole::ClassConsole(TestServer &server, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    m_monotonic.start();
    // The console answers start requests itself: only a running test gives a text.
    server.settings().answerStartRequests = false;
    connect(&server, &TestServer::clientConnected, this, &ClassConsole::connected);
    connect(&server, &TestServer::clientDisconnected, this, &ClassConsole::disconnected);
    connect(&server, &TestServer::messageReceived, this, [this](int id) { heard(id); });
    connect(&server, &TestServer::replyReceived, this, &ClassConsole::reply);
    connect(&server, &TestServer::startRequested, this, &ClassConsole::startRequested);
    connect(&server, &TestServer::progressReported, this,
            [this](int id, const protocol::Report &report) { this->report(id, report, false); });
    connect(&server, &TestServer::endReported, this,
            [this](int id, const protocol::Report &report) { this->report(id, report, true); });
    connect(&server, &TestServer::unrecognised, this, [this](int id, const QString &text) {
        heard(id);
        problem(id, QStringLiteral("不是客户端消息，已忽略：") + consoleformat::printable(text, 80),
                false);
    });
    connect(&server, &TestServer::settingsSent, this, [this](int id) {
        if (Link *link = m_links.contains(id) ? &m_links[id] : nullptr)
            link->settingsDone = true;
        const int row = m_roster.rowOfConnection(id);
        if (row >= 0 && m_roster.at(row).state == StudentRow::State::Connected)
            m_roster.update(row, [](StudentRow &r) { r.state = StudentRow::State::Ready; });
    });
    connect(&server, &TestServer::warning, this, [this](int id, const QString &text) {
        write(m_roster.rowOfConnection(id), text, false);
    });
    connect(&m_store, &ResultsStore::failed, this, [this](const QString &error) {
        write(-1, error);
        emit storeFailed(error);
    });
    (void)m_store.open(QString::fromUtf16(ResultsStore::kMemory));
    connect(&m_tick, &QTimer::timeout, this, &ClassConsole::tick);
    m_tick.start(m_timing.tickMs);
}

QSqlDatabase ClassConsole::historyDatabase(bool school, QString *error)
{
    if (!school)
        return m_store.database();
    if (!m_school) {
        if (error)
            *error = QStringLiteral("没有设置学校数据库");
        return {};
    }
    const QString name = QStringLiteral("school-history-%1").arg(quintptr(this));
    // A connection the server dropped since is opened again, once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_schoolRead.isValid() || !m_schoolRead.isOpen()) {
            m_schoolRead = {};
            QSqlDatabase::removeDatabase(name);
            if (const Status status = m_school->open(name, m_schoolRead); !status.ok()) {
                if (error)
                    *error = status.error;
                m_schoolRead = {};
                QSqlDatabase::removeDatabase(name);
                return {};
            }
        }
        QSqlQuery probe(m_schoolRead);
        if (probe.exec(QStringLiteral("SELECT 1")))
            return m_schoolRead;
        if (error)
            *error = probe.lastError().text();
        probe.finish();
        m_schoolRead.close();
    }
    return {};
}

ClassConsole::~ClassConsole()
{
    if (m_schoolRead.isValid()) {
        const QString name = m_schoolRead.connectionName();
        m_schoolRead.close();
        m_schoolRead = {};
        QSqlDatabase::removeDatabase(name);
    }
    m_copy.reset();
    m_store.close();
}

Status ClassConsole::setSchoolDatabase(const QString &url, int intervalMs)
{
    m_copy.reset();
    m_school.reset();
    m_copyIntervalMs = intervalMs;
    if (url.trimmed().isEmpty())
        return Status::success();
    QString error;
    const std::optional<SchoolDatabase> school = SchoolDatabase::parse(url, &error);
    if (!school)
        return Status::failure(error);
    m_school = school;
    startCopy();
    return Status::success();
}

void ClassConsole::startCopy()
{
    m_copy.reset();
    if (!m_school || !m_store.isOpen())
        return;
    if (m_store.path() == QString::fromUtf16(ResultsStore::kMemory)) {
        write(-1, QStringLiteral("结果库只在内存中，不复制到学校数据库 %1").arg(m_school->shown()));
        return;
    }
    m_copy = std::make_unique<SchoolCopy>(QFileInfo(m_store.path()).absoluteFilePath(),
                                          m_store.uid(), *m_school);
    connect(m_copy.get(), &SchoolCopy::reachableChanged, this, [this](bool reachable) {
        write(-1,
              reachable
                  ? QStringLiteral("学校数据库 %1 已连上，结果随时复制过去").arg(m_school->shown())
                  : QStringLiteral("学校数据库 %1 连不上：结果照常保存在本机，连上后补写")
                        .arg(m_school->shown()));
    });
    connect(m_copy.get(), &SchoolCopy::failed, this,
            [this](const QString &error) { write(-1, QStringLiteral("学校数据库：") + error); });
    m_copy->start(m_copyIntervalMs);
}

void ClassConsole::setTiming(const Timing &timing)
{
    m_timing = timing;
    m_tick.start(m_timing.tickMs);
}

Status ClassConsole::openStore(const QString &path)
{
    ResultsStore fresh;
    if (const Status status = fresh.open(path); !status.ok())
        return status;
    fresh.close();
    m_copy.reset();
    m_store.close();
    if (const Status status = m_store.open(path); !status.ok())
        return status;
    m_roster.clear();
    m_test.reset();
    m_collectingSince = 0;
    m_rosterEntries = m_store.roster();
    // The connections stay; they show as unknown again until they report.
    for (auto it = m_links.cbegin(); it != m_links.cend(); ++it) {
        StudentRow row;
        row.connection = it.key();
        row.peer = it->peer;
        row.state = readyState(it.key());
        m_roster.addRow(row);
    }
    if (const std::optional<StoredTest> running = m_store.runningTest()) {
        resume(*running);
    } else {
        if (const std::optional<StoredTest> last = m_store.lastTest())
            m_lastTestId = last->id;
        addAbsentStudents();
    }
    write(-1, QStringLiteral("结果库：%1").arg(path));
    startCopy();
    return Status::success();
}

void ClassConsole::resume(const StoredTest &test)
{
    if (const Status status = applySetup(test.setup); !status.ok())
        write(-1, QStringLiteral("测试的设置无法恢复：") + status.error);
    m_test = test;
    m_lastTestId = test.id;
    m_roster.setPassMark(test.setup.passSpeed, test.setup.passAccuracy);
    for (const StudentRow &stored : m_store.results(test.id)) {
        StudentRow row = stored;
        row.lastTime = row.live ? row.live->totalTime : -1;
        if (!row.dismissed() && m_roster.size() < kMaxRows)
            m_roster.addRow(row);
    }
    addAbsentStudents();
    m_roster.setTestRunning(true);
    const int finished = int(std::count_if(m_roster.rows().cbegin(), m_roster.rows().cend(),
                                           [](const StudentRow &r) { return r.finished(); }));
    write(-1,
          QStringLiteral("继续未结束的测试%1（开始于 %2）：%3名学生的结果已载入，其中%4人已结束。"
                         "学生重新连接后接着测试；要结束它请按“结束测试”")
              .arg(test.name.isEmpty() ? QString() : QStringLiteral("“%1”").arg(test.name),
                   QDateTime::fromMSecsSinceEpoch(test.startedAt)
                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
              .arg(m_roster.size())
              .arg(finished));
    // A limit that passed while the console was away: the last reports still have their time.
    if (const std::optional<int> left = secondsLeft(); left && *left <= 0)
        m_collectingSince = std::max<qint64>(1, m_monotonic.elapsed());
    emit testStarted(test.name);
}

Status ClassConsole::applySetup(const TestSetup &setup)
{
    if (const Status status = setup.applyTo(m_server.settings().script); !status.ok())
        return status;
    m_passSpeed = setup.passSpeed;
    m_passAccuracy = setup.passAccuracy;
    return Status::success();
}

TestSetup ClassConsole::setup() const
{
    TestSetup setup = TestSetup::from(m_server.settings().script);
    setup.passSpeed = m_passSpeed;
    setup.passAccuracy = m_passAccuracy;
    return setup;
}

Status ClassConsole::setPassMark(int speed, int accuracy)
{
    TestSetup marks;
    marks.passSpeed = speed;
    marks.passAccuracy = accuracy;
    if (const Status status = marks.checkPassMark(); !status.ok())
        return status;
    m_passSpeed = speed;
    m_passAccuracy = accuracy;
    return Status::success();
}

QString ClassConsole::className() const
{
    if (!m_className.isEmpty())
        return m_className;
    QHash<QString, int> counts;
    QString most;
    for (const RosterEntry &entry : m_rosterEntries) {
        const int count = ++counts[entry.banji];
        if (!entry.banji.isEmpty() && (count > counts.value(most) || most.isEmpty()))
            most = entry.banji;
    }
    return most;
}

void ClassConsole::sendSettings()
{
    m_server.sendSettingsToAll();
    write(-1, QStringLiteral("设置已发给全班（0100、0009、0008）"));
}

int ClassConsole::expectedLength() const
{
    const std::optional<protocol::TestText> &text = m_server.settings().script.text;
    if (!text || text->kind == protocol::TextKind::RootPractice)
        return -1;
    return int(text->text.size());
}

StudentRow::State ClassConsole::readyState(int connection) const
{
    const auto it = m_links.constFind(connection);
    if (it == m_links.cend())
        return StudentRow::State::Gone;
    switch (it->phase) {
    case Link::Phase::Waiting:
        return StudentRow::State::Waiting;
    case Link::Phase::Loading:
    case Link::Phase::InTest:
        return StudentRow::State::Started;
    case Link::Phase::Idle:
    case Link::Phase::Ended:
        break;
    }
    return it->settingsDone ? StudentRow::State::Ready : StudentRow::State::Connected;
}

Status ClassConsole::startTest(const QString &name)
{
    if (!m_server.settings().script.text)
        return Status::failure(QStringLiteral("没有测试文本"));
    if (testRunning())
        closeTest(StudentRow::Finish::TeacherEnded, QStringLiteral("teacher"));
    return openTest(name);
}

Status ClassConsole::openTest(const QString &name)
{
    static const QRegularExpression unsafe(QStringLiteral("[^\\w\\-]"),
                                           QRegularExpression::UseUnicodePropertiesOption);
    StoredTest test;
    test.name = QString(name).replace(unsafe, QStringLiteral("_")).left(60);
    test.startedAt = now();
    test.setup = setup();
    test.banji = className();
    if (const Status status = m_store.beginTest(test); !status.ok())
        return status;
    m_test = test;
    m_lastTestId = test.id;
    m_collectingSince = 0;
    m_roster.setPassMark(test.setup.passSpeed, test.setup.passAccuracy);

    // The rows of the new test: the connected students and the roster; the rest go.
    QSet<QString> roster;
    for (const RosterEntry &entry : std::as_const(m_rosterEntries))
        roster.insert(entry.xuehao);
    for (int i = m_roster.size() - 1; i >= 0; --i) {
        const StudentRow &row = m_roster.at(i);
        if (row.dismissed() || (row.connection <= 0 && !roster.contains(row.xuehao)))
            m_roster.removeRow(i);
    }
    m_roster.updateAll([&](StudentRow &row) {
        row.resultId = 0;
        row.finish = StudentRow::Finish::None;
        row.live.reset();
        row.final.reset();
        row.lastTime = -1;
        row.silent = false;
        row.onRoster = roster.contains(row.xuehao);
        row.flags = !roster.isEmpty() && row.identified() && !row.onRoster
                        ? int(StudentRow::NotOnRoster)
                        : 0;
        row.duplicateOf = 0;
        row.otherPeer.clear();
        row.state = row.connection > 0 ? readyState(row.connection) : StudentRow::State::Absent;
    });
    // Two connections of one number carried over: the later one is the duplicate again.
    QHash<QString, int> holder;
    for (int i = 0; i < m_roster.size(); ++i) {
        const StudentRow &row = m_roster.at(i);
        if (!row.identified())
            continue;
        if (!holder.contains(row.xuehao)) {
            holder.insert(row.xuehao, i);
            continue;
        }
        const int first = holder.value(row.xuehao);
        m_roster.update(i, [&](StudentRow &r) {
            r.flags |= StudentRow::Duplicate;
            r.otherPeer = m_roster.at(first).peer;
        });
    }
    addAbsentStudents();
    for (int i = 0; i < m_roster.size(); ++i)
        if (m_roster.at(i).identified())
            save(i);
    for (int i = 0; i < m_roster.size(); ++i) {
        const StudentRow &row = m_roster.at(i);
        if (row.duplicate())
            if (const int first = holder.value(row.xuehao, -1); first >= 0)
                m_roster.update(
                    i, [&](StudentRow &r) { r.duplicateOf = m_roster.at(first).resultId; });
    }
    m_roster.setTestRunning(true);

    const int changed = m_server.sendChangedSettingsToAll();
    // Those waiting for a text and those whose client is still in a test (its typing box is
    // open) get it now, after the settings; the others when they press start.
    int given = 0;
    const QList<int> ids = m_links.keys();
    for (int id : ids) {
        const Link::Phase phase = m_links.value(id).phase;
        if (phase == Link::Phase::Waiting || phase == Link::Phase::Loading ||
            phase == Link::Phase::InTest) {
            giveText(id);
            ++given;
        }
    }
    const int limit = test.setup.timeLimit;
    write(-1,
          QStringLiteral("测试开始%1（%2）：试题已发给%3人，其余学生按“开 始”时收到；"
                         "设置有改动，已重发给%4人")
              .arg(test.name.isEmpty() ? QString() : QStringLiteral("：") + test.name,
                   limit > 0 ? QStringLiteral("限时%1分钟").arg(limit) : QStringLiteral("不限时"))
              .arg(given)
              .arg(changed));
    emit testStarted(test.name);
    return Status::success();
}

void ClassConsole::addAbsentStudents()
{
    for (const RosterEntry &entry : std::as_const(m_rosterEntries)) {
        if (m_roster.rowOfNumber(entry.xuehao) >= 0 || m_roster.size() >= kMaxRows)
            continue;
        StudentRow row;
        row.xuehao = entry.xuehao;
        row.name = entry.name;
        row.banji = entry.banji;
        row.computer = entry.computer;
        row.onRoster = true;
        row.state = StudentRow::State::Absent;
        const int at = m_roster.addRow(row);
        if (m_test)
            save(at);
    }
}

Status ClassConsole::endTest()
{
    if (!testRunning())
        return Status::success();
    closeTest(StudentRow::Finish::TeacherEnded, QStringLiteral("teacher"));
    return m_lastError.isEmpty() ? Status::success() : Status::failure(m_lastError);
}

void ClassConsole::closeTest(StudentRow::Finish finish, const QString &reason)
{
    if (!m_test)
        return;
    for (int i = 0; i < m_roster.size(); ++i) {
        const StudentRow &row = m_roster.at(i);
        if (!row.identified() || row.dismissed())
            continue;
        if (!row.finished() && row.live) {
            m_roster.update(i, [finish](StudentRow &r) {
                r.finish = finish;
                r.final = r.live;
                r.state = StudentRow::State::Finished;
                r.silent = false;
            });
        }
        save(i);
    }
    (void)m_store.endTest(m_test->id, now(), reason);
    const QString name = m_test->name;
    m_lastError.clear();
    if (!m_resultsFolder.isEmpty())
        (void)saveResults();
    m_exportDue = 0;
    write(-1, QStringLiteral("测试结束%1：%2")
                  .arg(finish == StudentRow::Finish::ClassTimeUp ? QStringLiteral("（时间到）")
                                                                 : QString(),
                       summary().text()));
    m_test.reset();
    m_collectingSince = 0;
    m_roster.setTestRunning(false);
    // A client whose test the class's end closed has its box still open: it gets the next
    // text at once, like one that waits.
    emit testEnded(name);
}

std::optional<int> ClassConsole::secondsLeft() const
{
    if (!m_test || m_test->setup.timeLimit <= 0)
        return std::nullopt;
    const qint64 deadline = m_test->startedAt + qint64(m_test->setup.timeLimit) * 60000;
    const qint64 left = deadline - now();
    // Whole seconds, rounded up: "0" only once the limit is there.
    return int(left > 0 ? (left + 999) / 1000 : left / 1000);
}

QString ClassConsole::countdownText() const
{
    if (!m_test)
        return {};
    if (collecting())
        return QStringLiteral("时间到，等待最后的报告");
    const std::optional<int> left = secondsLeft();
    if (!left)
        return QStringLiteral("不限时");
    // The remaining time as the students' windows write it.
    const int limit = m_test->setup.timeLimit;
    return QStringLiteral("剩余 ") + figures::remainingText(limit, limit * 60 - std::max(0, *left));
}

Status ClassConsole::sendMessage(const QString &text, const QList<int> &rows, int *sentTo)
{
    if (sentTo)
        *sentTo = 0;
    if (text.isEmpty())
        return Status::failure(QStringLiteral("消息为空"));
    const gbk::Encoded encoded = gbk::encode(text);
    if (!encoded.ok())
        return Status::failure(QStringLiteral("这些字符无法用GBK发送：") + encoded.unencodable);
    QSet<int> targets;
    if (rows.isEmpty()) {
        for (auto it = m_links.cbegin(); it != m_links.cend(); ++it)
            targets.insert(it.key());
    } else {
        for (int row : rows)
            if (row >= 0 && row < m_roster.size() && m_roster.at(row).connection > 0)
                targets.insert(m_roster.at(row).connection);
    }
    const QString message = protocol::teacherMessage(text);
    int count = 0;
    for (int id : std::as_const(targets))
        if (m_server.sendTo(id, message))
            ++count;
    if (sentTo)
        *sentTo = count;
    if (count == 0)
        return Status::failure(QStringLiteral("没有连接着的学生可以收到消息"));
    write(-1, QStringLiteral("消息发给%1人：%2").arg(count).arg(text));
    return Status::success();
}

QList<int> ClassConsole::rowsOfNumbers(const QStringList &numbers) const
{
    QList<int> rows;
    for (int row = 0; row < m_roster.size(); ++row)
        if (numbers.contains(m_roster.at(row).xuehao))
            rows << row;
    return rows;
}

Status ClassConsole::importRoster(const QString &path, QStringList *skipped)
{
    rosterfile::Roster file;
    if (const Status status = rosterfile::read(path, file); !status.ok())
        return status;
    if (skipped)
        *skipped = file.skipped;
    if (const Status status = setRoster(file.entries); !status.ok())
        return status;
    write(-1, QStringLiteral("名单已导入：%1人%2")
                  .arg(file.entries.size())
                  .arg(file.skipped.isEmpty()
                           ? QString()
                           : QStringLiteral("，略过%1行（%2）")
                                 .arg(file.skipped.size())
                                 .arg(file.skipped.mid(0, 3).join(QStringLiteral("；")))));
    return Status::success();
}

Status ClassConsole::setRoster(const QList<RosterEntry> &entries)
{
    if (const Status status = m_store.saveRoster(entries); !status.ok())
        return status;
    m_rosterEntries = entries;
    QHash<QString, const RosterEntry *> byNumber;
    for (const RosterEntry &entry : std::as_const(m_rosterEntries))
        byNumber.insert(entry.xuehao, &entry);
    // Absent students of an earlier roster go; those present get the roster's names.
    for (int i = m_roster.size() - 1; i >= 0; --i) {
        const StudentRow &row = m_roster.at(i);
        if (row.state == StudentRow::State::Absent && !row.figures() &&
            !byNumber.contains(row.xuehao))
            m_roster.removeRow(i);
    }
    for (int i = 0; i < m_roster.size(); ++i) {
        const StudentRow &row = m_roster.at(i);
        if (!row.identified())
            continue;
        const RosterEntry *entry = byNumber.value(row.xuehao);
        m_roster.update(i, [&](StudentRow &r) {
            r.onRoster = entry != nullptr;
            r.flags &= ~int(StudentRow::NotOnRoster);
            if (!entry && !m_rosterEntries.isEmpty())
                r.flags |= StudentRow::NotOnRoster;
            if (entry && r.state == StudentRow::State::Absent) {
                r.name = entry->name;
                r.banji = entry->banji;
                r.computer = entry->computer;
            }
        });
        if (m_test)
            save(i);
    }
    // The class is in the list from now on, before a test too.
    addAbsentStudents();
    return Status::success();
}

QString ClassConsole::resultsPath() const
{
    if (m_resultsFolder.isEmpty())
        return {};
    std::optional<StoredTest> test = m_test;
    if (!test && m_lastTestId > 0)
        test = const_cast<ResultsStore &>(m_store).test(m_lastTestId);
    if (!test)
        return {};
    QString file =
        QDateTime::fromMSecsSinceEpoch(test->startedAt).toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (!test->name.isEmpty())
        file += u'-' + test->name;
    return QDir(m_resultsFolder).filePath(file + QStringLiteral(".csv"));
}

Status ClassConsole::saveResults()
{
    const qint64 testId = m_test ? m_test->id : m_lastTestId;
    if (testId <= 0)
        return Status::failure(QStringLiteral("还没有测试，没有结果可保存"));
    if (m_resultsFolder.isEmpty())
        return Status::failure(QStringLiteral("没有设置结果文件夹"));
    m_exportDue = 0;
    QList<StudentRow> rows = m_store.results(testId);
    if (m_test) {
        // The store has the figures; where each student is right now only the console knows.
        QHash<qint64, StudentRow::State> states;
        for (const StudentRow &row : m_roster.rows())
            states.insert(row.resultId, row.state);
        for (StudentRow &row : rows)
            row.state = states.value(row.resultId, row.state);
    }
    const QString path = resultsPath();
    const std::optional<StoredTest> test = m_test ? m_test : m_store.test(testId);
    const TestSetup marks = test ? test->setup : setup();
    const Status status = resultscsv::write(path, rows, marks.passSpeed, marks.passAccuracy);
    if (!status.ok()) {
        // What is on disk (if anything) is not these results: nothing counts as saved.
        m_lastSaved.clear();
        if (status.error != m_lastError)
            write(-1, QStringLiteral("结果未保存：") + status.error);
        m_lastError = status.error;
        emit resultsFailed(status.error);
        return status;
    }
    if (m_lastSaved != path)
        write(-1, QStringLiteral("结果保存在 ") + path);
    m_lastSaved = path;
    m_lastError.clear();
    emit resultsSaved(path);
    return status;
}

void ClassConsole::scheduleExport()
{
    if (!m_resultsFolder.isEmpty() && m_exportDue == 0)
        m_exportDue = m_monotonic.elapsed() + m_timing.exportDelayMs;
}

void ClassConsole::flush()
{
    (void)m_store.commit();
    if (!m_resultsFolder.isEmpty() && (m_test || m_lastTestId > 0))
        (void)saveResults();
}

void ClassConsole::save(int row)
{
    if (!m_test)
        return;
    m_roster.update(row, [this](StudentRow &r) { (void)m_store.saveResult(m_test->id, r); });
}

QList<double> ClassConsole::speeds() const
{
    QList<double> list;
    for (const StudentRow &row : m_roster.rows())
        if (row.identified() && !row.doubtful() && !row.dismissed())
            if (const std::optional<double> speed = row.speed())
                list << *speed;
    return list;
}

QStringList ClassConsole::notStarted() const
{
    QStringList list;
    if (!m_test)
        return list;
    for (const StudentRow &row : m_roster.rows()) {
        if (!row.identified() || row.finished() || row.duplicate())
            continue;
        if (row.state == StudentRow::State::Absent || row.state == StudentRow::State::Ready ||
            row.state == StudentRow::State::Connected)
            list << QStringLiteral("%1 %2").arg(row.xuehao, row.name);
    }
    return list;
}

int ClassConsole::anonymousCount() const
{
    int count = 0;
    for (auto it = m_links.cbegin(); it != m_links.cend(); ++it) {
        const int row = m_roster.rowOfConnection(it.key());
        count += row < 0 || !m_roster.at(row).identified();
    }
    return count;
}

QString ClassConsole::classLine() const
{
    int anonymous = 0;
    int anonymousStarted = 0;
    for (auto it = m_links.cbegin(); it != m_links.cend(); ++it) {
        const int row = m_roster.rowOfConnection(it.key());
        if (row >= 0 && m_roster.at(row).identified())
            continue;
        ++anonymous;
        anonymousStarted += it->phase != Link::Phase::Idle;
    }
    QString line = QStringLiteral("已连接%1个").arg(m_links.size());
    if (anonymous > 0)
        line += QStringLiteral("，其中%1个尚未表明身份（%2个已按开始）")
                    .arg(anonymous)
                    .arg(anonymousStarted);
    if (m_server.refusedCount() > 0)
        line += QStringLiteral("，连接过多已拒绝%1个").arg(m_server.refusedCount());
    const QStringList waiting = notStarted();
    if (!waiting.isEmpty())
        line += QStringLiteral(" | 未开始%1人：%2%3")
                    .arg(waiting.size())
                    .arg(waiting.mid(0, 12).join(QStringLiteral("、")),
                         waiting.size() > 12 ? QStringLiteral("……") : QString());
    return line;
}

QString ClassConsole::who(int row) const
{
    if (row < 0 || row >= m_roster.size())
        return {};
    const StudentRow &r = m_roster.at(row);
    if (!r.identified())
        return r.peer;
    return QStringLiteral("%1 %2").arg(r.xuehao, r.name);
}

void ClassConsole::write(int row, const QString &text, bool ownEvent)
{
    QString line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    if (row >= 0 && row < m_roster.size())
        line += QStringLiteral("[%1] ").arg(who(row));
    line += text;
    m_log << line;
    if (m_log.size() > kLogLines)
        m_log.remove(0, m_log.size() - kLogLines);
    emit logged(row, line, ownEvent);
}
