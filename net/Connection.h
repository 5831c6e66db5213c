#pragma once

#include <QString>

class Client;

// The connect button, the buttons' reaction to the socket's events, the state shown in status
// bar panel 1 and the reconnection while a test runs (Timer4).
class Connection
{
public:
    explicit Connection(Client &client);

    void cmdlianjie_Click();
    void wsk_Connect();
    void wsk_Close();
    void wsk_Error();
    void Timer4_Timer();

    // The panel 1 text of a socket state; empty for a state without text.
    static QString stateText(int state, const QString &ip, int port);

private:
    Client &m_client;
};
