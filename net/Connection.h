#pragma once

#include <QObject>
#include <QString>

class Client;

// The connect button, the buttons' reaction to the socket's events, the state shown in status
// bar panel 1 and the reconnection while a test runs (Timer4).
class Connection : public QObject
{
    Q_OBJECT
public:
    explicit Connection(Client &client);

    void cmdlianjie_Click();
    void wsk_Connect();
    void wsk_Close();
    void wsk_Error();
    void Timer4_Timer();

signals:
    // The settings are incomplete: the window asks for them (modally) before connecting again.
    void serverSettingsWanted();
    void userSettingsWanted();

private:
    Client &m_client;
};
