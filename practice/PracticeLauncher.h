// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/AppPaths.h"
#include "practice/PracticeHost.h"
#include "practice/RootDraw.h"

#include <QObject>
#include <QPointer>
#include <QString>

struct ClientState;
class Dialogs;
class PracticeSession;
class TestSession;

// Root practice for a "<zg>" text: it loads the practice (its logic, and through the signals
// its window) on first use, starts the exercise as a test of the test session, and lets it go
// when the window closes. The practice's result window is the session's.
class PracticeLauncher : public QObject, public PracticeHost
{
    Q_OBJECT
public:
    // The strip panel of a window at its first size (13665 twips wide, 200 margin each side).
    static constexpr int kFirstStripWidth = 13265;

    PracticeLauncher(ClientState &state, TestSession &session, Dialogs &dialogs,
                     const AppPaths &paths);
    ~PracticeLauncher() override;

    // Starts the practice the text asks for. A text that asks for something impossible opens
    // nothing and shows the error box the server's messages use.
    void LoadForm(const QString &text);
    // The practice window has closed: the practice's logic goes with it.
    void Form_Unload();

    // The loaded practice, or nullptr.
    PracticeSession *session() const;
    // Where the practices loaded from now on draw their roots (the system's generator unless
    // a test sets another).
    void setRandom(rootdraw::Random random) { m_random = std::move(random); }

    quint64 beginPractice(int roots) override;
    bool isRunning(quint64 practice) const override;
    void practiceFinished(quint64 practice) override;
    bool confirmLeave(const QString &question) override;
    void practiceLeft(quint64 practice) override;
    void practiceMistake(quint64 practice, const QString &root, QChar pressed,
                         QChar right) override;

signals:
    // The practice has been loaded: a window for it is wanted (not shown yet).
    void windowLoaded(PracticeSession *session);
    // A practice has started: show its window and hide the main window.
    void windowShown();
    // A new test took the practice's place: its window closes.
    void windowCloseRequested();
    // The practice window has closed: show the main window again.
    void windowUnloaded();

private:
    ClientState &m_state;
    TestSession &m_testSession;
    Dialogs &m_dialogs;
    AppPaths m_paths;
    QPointer<PracticeSession> m_session;
    rootdraw::Random m_random;
};
