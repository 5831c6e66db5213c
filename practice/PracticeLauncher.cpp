#include "practice/PracticeLauncher.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "practice/PracticeRequest.h"
#include "practice/widgets/Form6.h"
#include "practice/widgets/RootInputBox.h"
#include "typing/MessageWindows.h"

#include <QTimer>

PracticeLauncher::PracticeLauncher(Client &client)
    : m_client(client)
{}

PracticeLauncher::~PracticeLauncher()
{
    // The practice window has no parent: it lives beside the hidden main window.
    delete m_form6.data();
}

Status PracticeLauncher::LoadForm(const QString &text)
{
    // A bad request opens nothing.
    if (const PracticeRequest::Parse parsed = PracticeRequest::parse(text); !parsed.request)
        return Status::failure(parsed.error);

    MainControls &ui = m_client.ui;
    Dialogs &dialogs = *m_client.services.dialogs;
    if (!m_form6) {
        QTimer *mainClock = ui.Timer3;
        m_form6 = new Form6(m_client.state, *this, m_client.services.appDir,
                            [mainClock] { return mainClock->isActive(); });
        m_form6->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(m_form6, &Form6::unloaded, ui.window,
                         [window = ui.window] { window->show(); });
        if (!m_form6->loadWarning().isEmpty())
            showMessage(dialogs, ui.window, QMessageBox::Warning, applicationTitle(),
                        m_form6->loadWarning());
    }

    const PracticeSession::Start start = m_form6->session().LoadForm(text);
    if (!start.ok())
        return Status::failure(start.error);
    m_form6->show();
    m_form6->raise();
    m_form6->activateWindow();
    m_form6->RTinput->setFocus();
    ui.window->hide();
    if (!start.notice.isEmpty())
        showMessage(dialogs, m_form6, QMessageBox::Information, applicationTitle(), start.notice);
    return Status::success();
}

bool PracticeLauncher::showResult(const QString &sentence)
{
    MessageWindows &windows = *m_client.windows;
    // The main window's clock may have ended the practice and be showing its result.
    if (windows.resultWindow())
        return false;
    const ClientState &s = m_client.state;
    windows.showMsg(s.strUserName, s.strXuehao, s.strBanji, sentence, QString());
    return true;
}

bool PracticeLauncher::confirmLeave(const QString &question)
{
    return showMessage(*m_client.services.dialogs, m_form6, QMessageBox::Information,
                       QStringLiteral("确认操作"), question,
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Form6 *PracticeLauncher::form6() const
{
    return m_form6;
}
