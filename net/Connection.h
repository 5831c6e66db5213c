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
    void wsk_Error();
    void Timer4_Timer();

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
};
