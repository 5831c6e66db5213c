#include "net/Connection.h"

#include "core/Client.h"
#include "core/Dialogs.h"
#include "net/Socket.h"
#include "ui/SettingsDialogs.h"
#include "ui/StatusBar.h"

#include <QPushButton>

namespace {
// The two missing-settings messages end in 20 blanks, which widen their boxes.
const QString kTrailingBlanks(20, u' ');
} // namespace

Connection::Connection(Client &client) : m_client(client) {}

void Connection::cmdlianjie_Click()
{
    ClientState &s = m_client.state;
    Dialogs &dialogs = *m_client.services.dialogs;
    if (s.strServerIp.isEmpty() || s.NumServerPort < ClientState::kMinPort) {
        showMessage(dialogs, m_client.ui.window, QMessageBox::Warning, applicationTitle(),
                    QStringLiteral("没有设置服务器地址！") + kTrailingBlanks);
        showForm3(m_client);
        return;
    }
    if (s.strUserName.isEmpty() || s.strXuehao.isEmpty() || s.strBanji.isEmpty()) {
        showMessage(dialogs, m_client.ui.window, QMessageBox::Warning, applicationTitle(),
                    QStringLiteral("没有设置个人信息！") + kTrailingBlanks);
        showForm2(m_client);
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
    const QString text = stateText(state, m_client.state.strServerIp, m_client.state.NumServerPort);
    if (!text.isEmpty())
        m_client.ui.sb->setPanelText(1, text);

    // During a test a lost connection is retried every half second, without limit.
    if (m_client.state.IsWorking
        && (state == Socket::Closed || state == Socket::ConnectionPending
            || state == Socket::Closing || state == Socket::Error)) {
        wsk->close();
        wsk->connectToRemote();
    }
}

QString Connection::stateText(int state, const QString &ip, int port)
{
    switch (state) {
    case Socket::Closed:
        return QStringLiteral("已关闭到") + ip + QStringLiteral("的连接");
    case Socket::Open:
        return QStringLiteral("打开");
    case Socket::Listening:
        return QStringLiteral("正在侦听");
    case Socket::ConnectionPending:
        return QStringLiteral("连接挂起");
    case Socket::ResolvingHost:
        return QStringLiteral("识别主机");
    case Socket::HostResolved:
        return QStringLiteral("已识别主机");
    case Socket::Connecting:
        return QStringLiteral("正在连接") + ip + QStringLiteral("，端口：") + QString::number(port);
    case Socket::Connected:
        return QStringLiteral("已连接到") + ip + QStringLiteral("，端口：") + QString::number(port);
    case Socket::Closing:
        return QStringLiteral("同级人员正在关闭连接");
    case Socket::Error:
        return QStringLiteral("错误");
    default:
        return {};
    }
}
