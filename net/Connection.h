// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <functional>

struct ClientState;
class Dialogs;
class Socket;
class StatusPanels;

// The connect button, the socket's events, the state shown in status bar panel 1 and the
// reconnection while the client needs the server (Timer4). Each connection made has a number of
// its own, so that what arrived on one connection is never answered on the next. The buttons
// follow the connection through the test session, which listens to opened() and lost().
class Connection : public QObject
{
    Q_OBJECT
public:
    // Whether a lost connection is to be made again by itself: during a test, and while a
    // result waits to be sent.
    using KeepAlive = std::function<bool()>;

    Connection(ClientState &state, StatusPanels &panels, Socket *socket, Dialogs &dialogs);

    void setKeepAlive(KeepAlive keepAlive) { m_keepAlive = std::move(keepAlive); }

    void cmdlianjie_Click();
    void wsk_Connect();
    void wsk_Close();
    // The socket's error event, with its error number (Winsock numbers: 10061 refused, 11001
    // host not found, 10060 timed out, ...), which panel 1 turns into a reason.
    void wsk_Error(int number = 0);
    void Timer4_Timer();

    // Panel 1's text for a socket state: the state table's texts, except that before the first
    // connection attempt it says that nothing has been connected yet, and that an error names
    // the server and why it could not be reached.
    QString panelText(int socketState) const;
    // Why a connection failed, from the socket's error number.
    static QString failureReason(int number);

    bool isConnected() const;
    // The number of the connection messages arrive on now (0 before the first connect event),
    // and whether it is still open.
    quint64 generation() const { return m_generation; }
    bool isOpen(quint64 generation) const { return generation == m_generation && isConnected(); }

signals:
    // The settings are incomplete: the window asks for them (modally) before connecting again.
    void serverSettingsWanted();
    void userSettingsWanted();
    void opened();
    void lost();

private:
    ClientState &m_state;
    StatusPanels &m_panels;
    Socket *m_socket;
    Dialogs &m_dialogs;
    KeepAlive m_keepAlive;
    quint64 m_generation = 0;
    bool m_attempted = false; // the connect button was pressed at least once
    int m_lastError = 0;
};
