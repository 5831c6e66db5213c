#pragma once

#include "practice/PracticeHost.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Client;
class PracticeSession;
struct TestResult;

// Root practice for a "<zg>" text: it loads the practice (its logic, and through the signals
// its window) on first use, starts the exercise, and lets it go when the window closes. The
// practice's result window and message boxes are the client's.
class PracticeLauncher : public QObject, public PracticeHost
{
    Q_OBJECT
public:
    // The strip panel of a window at its first size (13665 twips wide, 200 margin each side).
    static constexpr int kFirstStripWidth = 13265;

    explicit PracticeLauncher(Client &client);
    ~PracticeLauncher() override;

    // Starts the practice the text asks for. A text that asks for something impossible opens
    // nothing and shows the error box the server's messages use.
    void LoadForm(const QString &text);
    // The practice window has closed: the practice's logic goes with it.
    void Form_Unload();

    // The loaded practice, or nullptr.
    PracticeSession *session() const;

    bool showResult(const QString &sentence) override;
    bool confirmLeave(const QString &question) override;

signals:
    // The practice has been loaded: a window for it is wanted (not shown yet).
    void windowLoaded(PracticeSession *session);
    // A practice has started: show its window and hide the main window.
    void windowShown();
    // The practice window has closed: show the main window again.
    void windowUnloaded();
    // Shows the practice's result; a connected window returns when it has closed.
    void resultReady(const TestResult &result);

private:
    Client &m_client;
    QPointer<PracticeSession> m_session;
};
