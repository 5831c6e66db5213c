// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/ClassRoster.h"
#include "server/ClassSummary.h"
#include "server/ResultsStore.h"
#include "server/SchoolCopy.h"
#include "server/TestSetup.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class TestServer;

// The teacher's console without its window: keeps the class list from what the test server
// hears and from the class roster, runs tests, sends the teacher's messages, stores every
// report and result in the results store as it comes and sums the class up. The window
// (TeacherWindow) and the command-line server both drive it; the tests drive it directly.
//
// A test runs from startTest() to endTest(), or to the class's time limit (then the students
// still typing have limitGraceMs to send their last report). The running test is in the store:
// a console opened on the same store (openStore) goes on with it, settings, rows and figures.
//
// Who a row is: a connection says who it is with its first report (number, name, class,
// computer) and keeps to that number. A student reconnecting from the same computer gets the
// row back once the row's connection is gone or has been silent for probeMs after being asked
// ("00110", answered by any client); a connection claiming a number whose connection is alive
// gets "0011" and a row of its own marked as a duplicate, until the teacher decides (keep one,
// merge). A finished result is never changed again. Figures no typist can reach are stored and
// marked (ReportCheck). Connections that never say who they are leave the list after
// anonymousGraceMs and are counted in one line.
//
// Students get the text when they press start ("1009") during a test; those already waiting,
// and those whose client is still in a test (its typing box open), get it when the test starts,
// after the settings that changed.
class ClassConsole : public QObject
{
    Q_OBJECT
public:
    struct Timing
    {
        int silenceMs = 3000;         // a typing row heard nothing for this long: "无响应"
        int probeMs = 3000;           // how long a same-computer claim waits for the old one
        int anonymousGraceMs = 20000; // a connection that has not said who it is leaves the list
        int limitGraceMs = 30000;     // after the class's time limit, for the last reports
        int exportDelayMs = 2000;     // results file written again this long after a change
        int tickMs = 250;
    };
    enum class Decision { KeepFirst, KeepSecond, Merge };
    // Most rows a test takes (the students of a large roster and then some).
    static constexpr int kMaxRows = 5000;

    explicit ClassConsole(TestServer &server, QObject *parent = nullptr);
    ~ClassConsole() override;

    TestServer &server() { return m_server; }
    ClassRoster &roster() { return m_roster; }
    const ClassRoster &roster() const { return m_roster; }
    ResultsStore &store() { return m_store; }

    // Opens the results store (ResultsStore::kMemory keeps nothing) and goes on with the test
    // it holds running, if any: its setup replaces the console's, its rows come back. A new
    // console starts on a store in memory.
    Status openStore(const QString &path);
    // The school's database the store is copied into (SchoolCopy), a postgresql:// URL; empty
    // for none. Takes effect now for a store on disk, and with every store opened after.
    Status setSchoolDatabase(const QString &url, int intervalMs = 1000);
    SchoolCopy *schoolCopy() const { return m_copy.get(); }
    bool hasSchoolDatabase() const { return m_school.has_value(); }
    // The database the history is read from: the school's (every console's tests) or this
    // console's store. Invalid, with the reason, when the school's cannot be reached.
    QSqlDatabase historyDatabase(bool school, QString *error = nullptr);
    void setTiming(const Timing &timing);
    const Timing &timing() const { return m_timing; }
    // Wall-clock milliseconds since 1970, for the test's start and its time limit; the tests
    // move it themselves. Silence, grace periods and waits run on a monotonic clock.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    qint64 now() const { return m_clock(); }

    // The test setup, written into the server's script (the pass mark stays here).
    Status applySetup(const TestSetup &setup);
    TestSetup setup() const;
    // The pass mark of the tests started from now on.
    Status setPassMark(int speed, int accuracy);
    // The class the tests are for, stored with each test; empty: the class most students of
    // the roster are in.
    void setClassName(const QString &name) { m_className = name.trimmed().left(32); }
    QString className() const;
    // Sends "0100", "0009" and "0008" to every connected student again.
    void sendSettings();
    // Starts a new test (a running one ends first): new rows for the roster and the connected
    // students, the settings that changed to everyone, the text to those waiting for it.
    Status startTest(const QString &name = {});
    // Ends the test: rows still typing keep their last figures as the result. Nothing happens
    // without a test.
    Status endTest();
    bool testRunning() const { return m_test.has_value(); }
    QString testName() const { return m_test ? m_test->name : QString(); }
    const std::optional<StoredTest> &test() const { return m_test; }
    // Seconds until the class's time limit; nothing without a limit or a test.
    std::optional<int> secondsLeft() const;
    // Past the limit, waiting for the last reports.
    bool collecting() const { return m_collectingSince > 0; }
    // "剩余 9分58秒", "时间到，等待最后的报告", "不限时" or empty without a test.
    QString countdownText() const;
    // A start request with no test running opens one with the current setup (the command-line
    // server); off by default: the teacher starts tests.
    void setAutoStart(bool on) { m_autoStart = on; }

    // "0099" + the text to the given rows' connections, or to everyone connected when `rows`
    // is empty. The number of students it went to, or an error.
    Status sendMessage(const QString &text, const QList<int> &rows, int *sentTo = nullptr);
    // The rows of the given student numbers, duplicates included.
    QList<int> rowsOfNumbers(const QStringList &numbers) const;
    // Warn a second connection claiming a connected number with "0011"? On by default.
    void setDuplicateNotice(bool on) { m_duplicateNotice = on; }

    // The class roster: replaces the one in the store. Absent students appear at once when a
    // test runs, else with the next test. `skipped` gets the lines left out.
    Status importRoster(const QString &path, QStringList *skipped = nullptr);
    Status setRoster(const QList<RosterEntry> &entries);
    const QList<RosterEntry> &rosterEntries() const { return m_rosterEntries; }

    // The teacher's decision on a duplicate row: keep the row it claims (the duplicate goes),
    // keep the duplicate (the claimed row goes), or merge them into one student.
    Status decideDuplicate(int row, Decision decision);

    // Results files: <folder>/<yyyyMMdd-HHmmss>[-name].csv per test, written from the store
    // after results change and when the test ends. Nothing is written without a folder.
    void setResultsFolder(const QString &folder) { m_resultsFolder = folder; }
    QString resultsFolder() const { return m_resultsFolder; }
    // The file of the running test, or of the last one; empty without a folder or a test.
    QString resultsPath() const;
    // Writes the results file of the running or the last test now.
    Status saveResults();
    QString lastSavedPath() const { return m_lastSaved; }
    // Everything to disk now: the store and, with a folder, the results file (before quitting).
    void flush();

    ClassSummary summary() const { return ClassSummary::of(m_roster.rows()); }
    // The speeds of the students counted in the summary, for the live picture.
    QList<double> speeds() const;
    // Students of the running test who have not started: absent ones and those who have not
    // pressed start ("31 李明").
    QStringList notStarted() const;
    // Connections that have not said who they are (not in the list after the grace period).
    int anonymousCount() const;
    // One line for the teacher: connections, those without a name, not started, refused.
    QString classLine() const;

    // The console log, oldest first, at most kLogLines lines.
    const QStringList &log() const { return m_log; }
    static constexpr int kLogLines = 2000;
    // Lines a connection may add to the log per second; the rest are counted.
    static constexpr int kLogBudget = 5;

signals:
    // A line of the log; `row` is the row it concerns, -1 for the console itself. `ownEvent`
    // is false for what the test server reports anyway (connections, ignored messages).
    void logged(int row, const QString &line, bool ownEvent);
    void resultsSaved(const QString &path);
    void resultsFailed(const QString &error);
    void storeFailed(const QString &error);
    void testStarted(const QString &name);
    void testEnded(const QString &name);

private:
    // What the console knows of one connection.
    struct Link
    {
        enum class Phase { Idle, Waiting, Loading, InTest, Ended };
        QString peer;
        qint64 connectedAt = 0;
        qint64 lastHeard = 0;
        Phase phase = Phase::Idle;
        bool settingsDone = false;
        // A claim on a row whose connection may still be alive, waiting for the answer.
        struct Claim
        {
            QString number;
            qint64 since = 0;
            QList<std::pair<protocol::Report, bool>> held;
        };
        std::optional<Claim> claim;
        qint64 budgetSecond = 0;
        int budgetUsed = 0;
        int budgetDropped = 0;
        bool lateLogged = false;
    };

    // Connections and reports (ClassConsoleLinks.cpp).
    void connected(int id, const QString &peer);
    void disconnected(int id);
    void heard(int id);
    void reply(int id, const QString &code);
    void startRequested(int id);
    void report(int id, const protocol::Report &report, bool end);
    void claim(int id, const protocol::Report &report, bool end);
    void resolveClaim(int id, bool ownerAlive);
    int bind(int id, int target);
    int makeDuplicate(int id, int target, const protocol::Report &report, bool noticeSent);
    void apply(int row, const protocol::Report &report, bool end);
    void giveText(int id);
    void problem(int id, const QString &text, bool ownEvent);
    void tick();
    int anonymousRow(int id);

    // Tests and results (ClassConsole.cpp).
    Status openTest(const QString &name);
    void closeTest(StudentRow::Finish finish, const QString &reason);
    void resume(const StoredTest &test);
    void addAbsentStudents();
    void save(int row);
    void scheduleExport();
    int expectedLength() const;
    StudentRow::State readyState(int connection) const;
    QString who(int row) const;
    void write(int row, const QString &text, bool ownEvent = true);

    TestServer &m_server;
    ClassRoster m_roster;
    ResultsStore m_store;
    Timing m_timing;
    std::function<qint64()> m_clock;
    QElapsedTimer m_monotonic;
    QTimer m_tick;
    QHash<int, Link> m_links;
    // Numbers claimed by a connection that waits for the old one's answer, and the claimant.
    QHash<QString, int> m_claims;
    QList<RosterEntry> m_rosterEntries;
    std::optional<StoredTest> m_test;
    qint64 m_lastTestId = 0;
    qint64 m_collectingSince = 0;
    bool m_autoStart = false;
    bool m_duplicateNotice = true;
    QString m_resultsFolder;
    QString m_className;
    std::optional<SchoolDatabase> m_school;
    int m_copyIntervalMs = 1000;
    std::unique_ptr<SchoolCopy> m_copy;
    QSqlDatabase m_schoolRead;
    void startCopy();
    int m_passSpeed = TestSetup::kDefaultPassSpeed;
    int m_passAccuracy = TestSetup::kDefaultPassAccuracy;
    QString m_lastSaved;
    QString m_lastError;
    qint64 m_exportDue = 0;
    QStringList m_log;
};
