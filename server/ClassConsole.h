#pragma once

#include "ClassRoster.h"
#include "ClassSummary.h"
#include "TestSetup.h"
#include "core/Status.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QStringList>

class TestServer;

// The teacher's console without its window: keeps the class list from what the test server
// hears, sets up and starts tests, sends the teacher's messages, warns a second login with a
// number already connected ("0011"), keeps the results of each test as a CSV file in the results
// folder and sums the class up. The window (TeacherWindow) and the command-line server both
// drive it; the tests drive it directly.
//
// A test runs from startTest() (or, when the teacher has started none, from the first start
// request or report) to endTest() or the next startTest(). Its results file is
// <folder>/<yyyyMMdd-HHmmss>[-name].csv, written again after every end report and when the
// test ends.
//
// Whatever a connection sends that is no valid client message, or a report whose figures do
// not add up, is logged against its row and ignored; a flood is logged a few lines a second.
class ClassConsole : public QObject
{
    Q_OBJECT
public:
    explicit ClassConsole(TestServer &server, QObject *parent = nullptr);

    TestServer &server() { return m_server; }
    ClassRoster &roster() { return m_roster; }
    const ClassRoster &roster() const { return m_roster; }

    // The test setup, written into the server's script.
    Status applySetup(const TestSetup &setup);
    TestSetup setup() const;
    // Sends "0100", "0009" and "0008" to every connected student again.
    void sendSettings();
    // Starts a new test: the figures of the last one are cleared (its results stay in its
    // file), students who left are dropped from the list, and every connected student gets
    // the text.
    Status startTest(const QString &name = {});
    // Ends the test: its results are written one last time. Nothing happens without a test.
    Status endTest();
    bool testRunning() const { return m_testStarted.isValid(); }
    QString testName() const { return m_testName; }

    // "0099" + the text to the given rows' connections, or to everyone connected when `rows`
    // is empty. The number of students it went to, or an error.
    Status sendMessage(const QString &text, const QList<int> &rows, int *sentTo = nullptr);
    // The rows of the given student numbers (the command-line server names students so).
    QList<int> rowsOfNumbers(const QStringList &numbers) const;

    // Warn a second connection claiming a connected number with "0011"? On by default.
    void setDuplicateNotice(bool on) { m_duplicateNotice = on; }

    // Results: nothing is written without a folder.
    void setResultsFolder(const QString &folder) { m_resultsFolder = folder; }
    QString resultsFolder() const { return m_resultsFolder; }
    // Path of the current test's results file; empty without a test or a folder.
    QString resultsPath() const;
    // Writes the results file now.
    Status saveResults();
    // The last file written successfully, empty when none was.
    QString lastSavedPath() const { return m_lastSaved; }

    ClassSummary summary() const { return ClassSummary::of(m_roster.rows()); }
    // The speeds of the students with figures, for the live picture.
    QList<double> speeds() const;

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
    void testStarted(const QString &name);
    void testEnded(const QString &name);

private:
    void connected(int id, const QString &peer);
    void disconnected(int id);
    void reply(int id, const QString &code);
    void report(int id, const protocol::Report &report, bool end);
    void problem(int id, const QString &text, bool ownEvent);
    int identify(int row, const protocol::Report &report, bool end);
    void openTestIfNone();
    void write(int row, const QString &text, bool ownEvent = true);
    QString check(const protocol::Report &report, bool end) const;

    TestServer &m_server;
    ClassRoster m_roster;
    bool m_duplicateNotice = true;
    QString m_resultsFolder;
    QString m_lastSaved;
    QString m_lastError;
    QDateTime m_testStarted;
    QString m_testName;
    QStringList m_log;
    struct Budget
    {
        qint64 second = 0;
        int used = 0;
        int dropped = 0;
    };
    QHash<int, Budget> m_budgets;
};
