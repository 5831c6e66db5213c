#include "practice/PracticeLauncher.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "practice/PracticeRequest.h"
#include "practice/PracticeSession.h"
#include "typing/TestEnding.h"

#include <QFileInfo>
#include <QTimer>

PracticeLauncher::PracticeLauncher(Client &client)
    : m_client(client)
{}

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
    Dialogs &dialogs = *m_client.services.dialogs;
    // A bad request opens nothing; the student sees the error as for any bad server message.
    if (const PracticeRequest::Parse parsed = PracticeRequest::parse(text); !parsed.request) {
        showMessage(dialogs, Dialogs::Critical, applicationTitle(), parsed.error);
        return;
    }

    if (!m_session) {
        QTimer *mainClock = m_client.ui.Timer3;
        m_session = new PracticeSession(m_client.state, *this,
                                        [mainClock] { return mainClock->isActive(); });
        // The root table sits beside the other data files: the program folder or the installed data
        // folder.
        const QString dataDir =
            QFileInfo(m_client.services.paths.dataFile(QStringLiteral("86zg.dat"))).absolutePath();
        const QString warning = m_session->Form_Load(dataDir, kFirstStripWidth);
        emit windowLoaded(m_session);
        if (!warning.isEmpty())
            showMessage(dialogs, Dialogs::Warning, applicationTitle(), warning);
    }

    const PracticeSession::Start start = m_session->LoadForm(text);
    if (!start.ok()) {
        showMessage(dialogs, Dialogs::Critical, applicationTitle(), start.error);
        return;
    }
    emit windowShown();
    if (!start.notice.isEmpty())
        showMessage(dialogs, Dialogs::Information, applicationTitle(), start.notice);
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

bool PracticeLauncher::showResult(const QString &sentence)
{
    // The main window's clock may have ended the practice and be showing its result.
    if (m_client.ending && m_client.ending->isEnding())
        return false;
    const ClientState &s = m_client.state;
    emit resultReady(TestResult{s.strUserName, s.strXuehao, s.strBanji, sentence, QString()});
    return true;
}

bool PracticeLauncher::confirmLeave(const QString &question)
{
    return showMessage(*m_client.services.dialogs, Dialogs::Information, QStringLiteral("确认操作"),
                       question, Dialogs::Yes | Dialogs::No) == Dialogs::Yes;
}
