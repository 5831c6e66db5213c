#include "net/Connection.h"

#include "core/ClientState.h"
#include "core/Dialogs.h"
#include "core/StatusPanels.h"
#include "net/Socket.h"

namespace {
// The two missing-settings messages end in 20 blanks, which widen their boxes.
const QString kTrailingBlanks(20, u' ');
} // namespace

Connection::Connection(ClientState &state, StatusPanels &panels, Socket *socket, Dialogs &dialogs)
    : m_state(state)
    , m_panels(panels)
    , m_socket(socket)
    , m_dialogs(dialogs)
{}

bool Connection::isConnected() const
{
    return m_socket && m_socket->state() == Socket::Connected;
}

void Connection::cmdlianjie_Click()
{
    const ClientState &s = m_state;
    if (s.strServerIp.isEmpty() || s.NumServerPort < ClientState::kMinPort) {
        showMessage(m_dialogs, Dialogs::Warning, applicationTitle(),
                    QStringLiteral("没有设置服务器地址！") + kTrailingBlanks);
        emit serverSettingsWanted();
        return;
    }
    if (s.strUserName.isEmpty() || s.strXuehao.isEmpty() || s.strBanji.isEmpty()) {
        showMessage(m_dialogs, Dialogs::Warning, applicationTitle(),
                    QStringLiteral("没有设置个人信息！") + kTrailingBlanks);
        emit userSettingsWanted();
        return;
    }
    if (!m_socket)
        return;
    m_socket->close();
    m_socket->setRemoteHost(s.strServerIp);
    m_socket->setRemotePort(s.NumServerPort);
    m_socket->connectToRemote();
}

void Connection::wsk_Connect()
{
    ++m_generation;
    emit opened();
}

void Connection::wsk_Close()
{
    emit lost();
}

void Connection::wsk_Error()
{
    emit lost();
}

void Connection::Timer4_Timer()
{
    if (!m_socket)
        return;
    const int state = m_socket->state();
    m_panels.showConnection(state, m_state.strServerIp, m_state.NumServerPort);

    // While the client needs the server, a lost connection is retried every half second,
    // without limit, to the host and port of the last click of the connect button.
    if (m_keepAlive && m_keepAlive() &&
        (state == Socket::Closed || state == Socket::ConnectionPending ||
         state == Socket::Closing || state == Socket::Error)) {
        m_socket->close();
        m_socket->connectToRemote();
    }
}
