// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/TestFlow.h"
#include "typing/TestResult.h"

#include <QObject>
#include <QString>

#include <deque>

struct ClientState;
class CodeTables;
class Connection;
class Dialogs;
class HintDelay;
class MainControls;
class ModalTracker;
class Socket;
class StatisticsDisplay;

// The owner of a test's lifecycle. It alone sets IsWorking, IsReStart and TotalTime, starts
// and stops the test clock Timer3, ends tests, sends their final reports and enables the
// buttons. Every text the server sends, every practice of mistyped characters and every root
// practice is a test of its own with an identity (testId): a tick, a report, an ending or a
// result belongs to the test it was made for, and nothing done for an older test changes a
// newer one. See docs/DESIGN.md for the phases and their transitions.
class TestSession : public QObject, public TestFlow
{
    Q_OBJECT
public:
    enum class Phase {
        NoTest,       // before the first text, or after the start button asked for one
        TextLoaded,   // a text is shown; the clock starts with the first keystroke
        Running,      // the student types and the clock runs
        Ending,       // the test has ended and its result window is open
        Drill,        // a practice of the mistyped characters: nothing is reported
        RootPractice, // the root practice window has the test
        Ended,        // the test is over; its final report has gone out or waits to
    };
    Q_ENUM(Phase)

    enum class ReportKind { Progress, Final };
    Q_ENUM(ReportKind)

    // Final reports that could not be sent wait for the connection to the server they were
    // meant for (a connection to another server drops them); beyond this many the oldest is
    // dropped.
    static constexpr int kMaxUnsent = 16;

    TestSession(ClientState &state, MainControls &ui, Dialogs &dialogs, Socket *socket,
                Connection &connection, ModalTracker &modal, HintDelay &hints,
                StatisticsDisplay &display, const CodeTables &tables, QObject *parent = nullptr);

    Phase phase() const { return m_phase; }
    quint64 testId() const { return m_testId; }
    // A test, a practice of mistyped characters or a root practice runs (IsWorking).
    bool isRunning() const;
    // The time limit of the exercise that runs: none during a practice of mistyped characters.
    int effectiveLimit() const;
    // Whether the client needs its connection: during a test, and while a result waits.
    bool needsConnection() const;
    int unsentReports() const { return int(m_unsent.size()); }

    // The server's messages.
    Status loadText(const protocol::TestText &text) override;
    void setEnvironment(bool rootsAllowed, bool hintsAllowed) override;

    // The start and end buttons.
    void cmdread_Click();
    void cmdexit_Click();
    // Starts a practice test on cwas (the practice link of the result window).
    void rst(const QString &cwas);
    // The practice link of the result of test `resultOf`: a practice starts only while that
    // test is still the current one and its result allows it.
    bool startDrill(quint64 resultOf, const QString &cwas);

    // One tick of the test clock. Lets waiting events run at four points; a tick stops where
    // its test has ended or another test has started meanwhile, or when a newer tick ran.
    void Timer3_Timer();

    // The typing engine, at the first step of a change of the typing box with the typed text
    // not longer than the reference: the clock of a running test starts.
    void typingStarted();
    // The typing engine, after a change that reached the end of the reference text.
    void textCompleted();

    // Root practice: a practice of `roots` roots starts (its identity is returned); it runs
    // until all roots are typed, its time is up or the student leaves it.
    quint64 beginRootPractice(int roots);
    bool isCurrentPractice(quint64 practice) const;
    void rootPracticeFinished(quint64 practice);
    void rootPracticeLeft(quint64 practice);
    // A wrong key for `root` in practice `practice`: counted for its result, which lists the
    // root with the keys pressed for it and its right key.
    void rootPracticeMistake(quint64 practice, const QString &root, QChar pressed, QChar right);

    // The buttons as a function of the connection and the phase.
    void updateButtons();

signals:
    // Shows the result; a connected window returns when it has closed.
    void resultReady(const TestResult &result);
    // A new text took the place of the running root practice: its window closes.
    void rootPracticeSuperseded();
    void phaseChanged(TestSession::Phase phase);
    // A report of test `test` went to the socket (sent) or waits for the connection.
    void reported(quint64 test, TestSession::ReportKind kind, const QString &message, bool sent);

private:
    enum class EndKind { Completed, TimeUp, EndButton, Left };

    void setPhase(Phase phase);
    void newTest(Phase phase);
    void showReference(const QString &text);
    void endTest(EndKind how);
    void endDrill();
    void showResult(bool drillable);
    QList<Mistake> typedMistakes() const;
    void finalTick();
    void sendProgress();
    void sendFinal(const QString &message);
    void flushUnsent();
    QString progressMessage() const;
    QString endMessage() const;
    bool yieldFor(quint64 test, quint64 tick);
    void cutShort(quint64 tick);

    ClientState &m_state;
    MainControls &m_ui;
    Dialogs &m_dialogs;
    Socket *m_socket;
    Connection &m_connection;
    ModalTracker &m_modal;
    HintDelay &m_hints;
    StatisticsDisplay &m_display;
    const CodeTables &m_tables;

    Phase m_phase = Phase::NoTest;
    quint64 m_testId = 0;
    quint64 m_ticks = 0;    // ticks begun, nested ones included
    bool m_loading = false; // the session itself empties the typing box
    bool m_hintsAllowed = false;
    quint64 m_resultOpen = 0;       // the test whose result window is open, 0 for none
    bool m_resultDrillable = false; // its practice link may start a practice
    // What the current test's result teaches: its speed at each second, whether its time ran
    // out, and for a root practice its wrong keys.
    QList<int> m_speeds;
    bool m_timeUp = false;
    int m_wrongKeys = 0;
    QList<Mistake> m_practiceMistakes;
    struct Unsent
    {
        quint64 test;
        QString message;
        QString host; // the server it was meant for
        int port = 0;
    };
    std::deque<Unsent> m_unsent;
};
