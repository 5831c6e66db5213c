// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

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
    if (s.strServerIp.isEmpty() || s.NumServerPort < AppSettings::kMinPort) {
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
    m_attempted = true;
    m_lastError = 0;
    m_socket->close();
    m_socket->setRemoteHost(s.strServerIp);
    m_socket->setRemotePort(s.NumServerPort);
    m_socket->connectToRemote();
}

void Connection::wsk_Connect()
{
    ++m_generation;
    m_attempted = true;
    m_lastError = 0;
    emit opened();
}

void Connection::wsk_Close()
{
    emit lost();
}

void Connection::wsk_Error(int number)
{
    m_lastError = number;
    emit lost();
}

QString Connection::failureReason(int number)
{
    switch (number) {
    case 10061:
        return QStringLiteral("服务器拒绝连接，老师的测试服务器可能还没有启动");
    case 11001:
        return QStringLiteral("找不到这台服务器，请检查服务器地址");
    case 10060:
        return QStringLiteral("连接超时，请检查服务器地址和网络");
    case 10050:
        return QStringLiteral("网络不通，请检查网线或网络设置");
    case 10013:
        return QStringLiteral("本机不允许建立这个连接");
    case 10054:
        return QStringLiteral("连接被服务器断开");
    default:
        return QStringLiteral("网络错误");
    }
}

QString Connection::panelText(int socketState) const
{
    const QString &ip = m_state.strServerIp;
    const int port = m_state.NumServerPort;
    if (socketState == 0 && !m_attempted)
        return QStringLiteral("尚未连接到服务器");
    if (socketState == 9) {
        QString text = QStringLiteral("无法连接到服务器 %1:%2").arg(ip).arg(port);
        if (m_lastError != 0)
            text += QStringLiteral("：") + failureReason(m_lastError);
        return text;
    }
    return StatusPanels::connectionText(socketState, ip, port);
}

void Connection::Timer4_Timer()
{
    if (!m_socket)
        return;
    const int state = m_socket->state();
    if (const QString text = panelText(state); !text.isEmpty())
        m_panels.setPanelText(1, text);

    // While the client needs the server, a lost connection is retried every half second,
    // without limit, to the host and port of the last click of the connect button.
    if (m_keepAlive && m_keepAlive() &&
        (state == Socket::Closed || state == Socket::ConnectionPending ||
         state == Socket::Closing || state == Socket::Error)) {
        m_socket->close();
        m_socket->connectToRemote();
    }
}
