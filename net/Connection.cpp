#include "net/Connection.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "net/Socket.h"

namespace {
// The two missing-settings messages end in 20 blanks, which widen their boxes.
const QString kTrailingBlanks(20, u' ');
} // namespace

Connection::Connection(Client &client)
    : m_client(client)
{}

void Connection::cmdlianjie_Click()
{
    ClientState &s = m_client.state;
    Dialogs &dialogs = *m_client.services.dialogs;
    if (s.strServerIp.isEmpty() || s.NumServerPort < ClientState::kMinPort) {
        showMessage(dialogs, Dialogs::Warning, applicationTitle(),
                    QStringLiteral("没有设置服务器地址！") + kTrailingBlanks);
        emit serverSettingsWanted();
        return;
    }
    if (s.strUserName.isEmpty() || s.strXuehao.isEmpty() || s.strBanji.isEmpty()) {
        showMessage(dialogs, Dialogs::Warning, applicationTitle(),
                    QStringLiteral("没有设置个人信息！") + kTrailingBlanks);
        emit userSettingsWanted();
        return;
    }
    Socket *wsk = m_client.services.socket;
    if (!wsk)
        return;
    wsk->close();
    wsk->setRemoteHost(s.strServerIp);
    wsk->setRemotePort(s.NumServerPort);
    wsk->connectToRemote();
}

void Connection::wsk_Connect()
{
    MainControls &ui = m_client.ui;
    ui.cmdlianjie->setEnabled(false);
    if (!m_client.state.IsWorking)
        ui.cmdread->setEnabled(true);
    else
        ui.cmdexit->setEnabled(true);
    ui.cmdserverset->setEnabled(false);
    ui.cmduserset->setEnabled(false);
}

void Connection::wsk_Close()
{
    MainControls &ui = m_client.ui;
    ui.cmdlianjie->setEnabled(true);
    ui.cmdread->setEnabled(false);
    ui.cmdexit->setEnabled(false);
    ui.cmdserverset->setEnabled(true);
    ui.cmduserset->setEnabled(true);
}

void Connection::wsk_Error()
{
    MainControls &ui = m_client.ui;
    ui.cmdlianjie->setEnabled(true);
    ui.cmdread->setEnabled(false);
    ui.cmdserverset->setEnabled(true);
    ui.cmduserset->setEnabled(true);
}

void Connection::Timer4_Timer()
{
    Socket *wsk = m_client.services.socket;
    if (!wsk)
        return;
    const int state = wsk->state();
    m_client.ui.sb->showConnection(state, m_client.state.strServerIp, m_client.state.NumServerPort);

    // During a test a lost connection is retried every half second, without limit.
    if (m_client.state.IsWorking &&
        (state == Socket::Closed || state == Socket::ConnectionPending ||
         state == Socket::Closing || state == Socket::Error)) {
        wsk->close();
        wsk->connectToRemote();
    }
}
