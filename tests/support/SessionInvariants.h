// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "typing/TestSession.h"

#include <QHash>
#include <QList>
#include <QMetaEnum>
#include <QSet>
#include <QString>
#include <QStringList>

#include <algorithm>

class Client;
class FakeSocket;

// What must hold for a client at every moment, whatever the server, the student and the
// network do: checked after every event of a model run (tests/typing/tst_sessionmodel.cpp) and
// of the handler fuzzer. It watches the client from outside: what goes over the socket, what
// the test session announces, the controls and the counters.
//
// - A test sends at most one final report ("1098" or its last "1099"), once, and no progress
//   report after it; a practice of mistyped characters reports nothing.
// - Every report is one the session announced, and carries the figures of its own test: the
//   length of its text, what is typed of it, the matches, no more seconds than its ticks.
// - The buttons follow the table of (connection, phase).
// - A newly loaded text is always a typeable test.
// - IsWorking and IsReStart say what the phase says; the counters stay in range.
// - The queue of held messages keeps its bound; no connection is answered more often than it
//   was asked, so nothing of an old connection is answered on a new one.
// - One result window at a time; a practice starts only from a result that allows one.
class SessionInvariants
{
public:
    // What the driver is doing: a practice of mistyped characters begins only from the
    // result window's practice link.
    enum class Cause { None, Drill };

    SessionInvariants(Client &client, FakeSocket &socket);

    // The driver tells what it does, so that each new test can be traced to its cause.
    void setCause(Cause cause) { m_cause = cause; }
    // A server message went to the client on the current connection. A text test begins only
    // with a text that was delivered, a root practice only with a practice that was asked for.
    void delivered(const QString &message);
    // A tick of the test clock is about to run, and has run.
    void ticking();
    void ticked() { m_tickOf.removeLast(); }
    // The result window opens and closes; `drillStarted` tells whether its practice link
    // started a practice.
    void resultOpened(const TestResult &result);
    void resultClosed(const TestResult &result, bool drillStarted);

    // Everything that must hold now; a violation is recorded.
    void check(const QString &where);

    const QStringList &violations() const { return m_violations; }
    bool ok() const { return m_violations.isEmpty(); }
    // Counts over the run, for the test's report.
    int reports() const { return m_reports; }
    int finals() const { return m_finals; }
    int tests() const { return int(m_kinds.size()); }
    // Tests that began in `phase` (TextLoaded, Drill, RootPractice).
    int testsBegunAs(TestSession::Phase phase) const
    {
        return int(std::count(m_kinds.cbegin(), m_kinds.cend(), phase));
    }

private:
    void fail(const QString &what);
    void onReported(quint64 test, TestSession::ReportKind kind, const QString &message, bool sent);
    void onPhase(TestSession::Phase phase);
    void onSent(const QString &message);
    void checkReportFigures(quint64 test, TestSession::ReportKind kind, const QString &message);
    void checkButtons();
    void checkTypeable();
    void checkTextCause(quint64 test);

    Client &m_client;
    FakeSocket &m_socket;
    Cause m_cause = Cause::None;
    QString m_where;
    QStringList m_violations;

    quint64 m_lastTest = 0;
    QHash<quint64, TestSession::Phase> m_kinds; // first phase of each test
    QSet<quint64> m_finalAnnounced;
    QSet<quint64> m_finalSent;
    QHash<quint64, int> m_ticks; // ticks begun during each test
    QList<quint64> m_tickOf;     // the test of each tick that runs now, innermost last
    quint64 m_typeableCheck = 0;
    quint64 m_textToTrace = 0; // a text test whose text is still to be traced to a message
    QStringList m_textsDelivered;
    int m_practicesAsked = 0;
    int m_practicesBegun = 0;
    QStringList m_announcedSent; // reports announced as sent, in order
    QStringList m_transmitted;   // reports the socket carried, in order
    // Messages that want a reply, and replies sent, per connection.
    QHash<quint64, QHash<QString, int>> m_asked;
    QHash<quint64, QHash<QString, int>> m_answered;
    int m_resultsOpen = 0;
    int m_reports = 0;
    int m_finals = 0;
};
