// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/PracticeLauncher.h"

#include "core/Dialogs.h"
#include "practice/PracticeRequest.h"
#include "practice/PracticeSession.h"
#include "typing/TestSession.h"

#include <QFileInfo>
#include <QTimer>

PracticeLauncher::PracticeLauncher(ClientState &state, TestSession &session, Dialogs &dialogs,
                                   const AppPaths &paths)
    : m_state(state)
    , m_testSession(session)
    , m_dialogs(dialogs)
    , m_paths(paths)
{
    connect(&m_testSession, &TestSession::rootPracticeSuperseded, this,
            &PracticeLauncher::windowCloseRequested);
}

PracticeLauncher::~PracticeLauncher()
{
    delete m_session.data();
}

PracticeSession *PracticeLauncher::session() const
{
    return m_session;
}

void PracticeLauncher::LoadForm(const QString &text)
{
    // A bad request opens nothing; the student sees the error as for any bad server message.
    if (const PracticeRequest::Parse parsed = PracticeRequest::parse(text); !parsed.request) {
        showMessage(m_dialogs, Dialogs::Critical, applicationTitle(), parsed.error);
        return;
    }

    if (!m_session) {
        m_session = new PracticeSession(m_state, *this);
        if (m_random)
            m_session->setRandom(m_random);
        // The root table sits beside the other data files: the program folder or the installed
        // data folder.
        const QString dataDir =
            QFileInfo(m_paths.dataFile(QStringLiteral("86zg.dat"))).absolutePath();
        const QString warning = m_session->Form_Load(dataDir, kFirstStripWidth);
        emit windowLoaded(m_session);
        if (!warning.isEmpty())
            showMessage(m_dialogs, Dialogs::Warning, applicationTitle(), warning);
    }

    const PracticeSession::Start start = m_session->LoadForm(text);
    if (!start.ok()) {
        showMessage(m_dialogs, Dialogs::Critical, applicationTitle(), start.error);
        return;
    }
    emit windowShown();
    if (!start.notice.isEmpty())
        showMessage(m_dialogs, Dialogs::Information, applicationTitle(), start.notice);
}

void PracticeLauncher::Form_Unload()
{
    if (m_session) {
        m_session->Timer1->stop();
        // The window that closes may still be delivering its last events to it.
        m_session->deleteLater();
        m_session = nullptr;
    }
    emit windowUnloaded();
}

quint64 PracticeLauncher::beginPractice(int roots)
{
    return m_testSession.beginRootPractice(roots);
}

bool PracticeLauncher::isRunning(quint64 practice) const
{
    return m_testSession.isCurrentPractice(practice);
}

void PracticeLauncher::practiceFinished(quint64 practice)
{
    m_testSession.rootPracticeFinished(practice);
}

bool PracticeLauncher::confirmLeave(const QString &question)
{
    return showMessage(m_dialogs, Dialogs::Information, QStringLiteral("确认操作"), question,
                       Dialogs::Yes | Dialogs::No) == Dialogs::Yes;
}

void PracticeLauncher::practiceLeft(quint64 practice)
{
    m_testSession.rootPracticeLeft(practice);
}

void PracticeLauncher::practiceMistake(quint64 practice, const QString &root, QChar pressed,
                                       QChar right)
{
    m_testSession.rootPracticeMistake(practice, root, pressed, right);
}
