#pragma once

#include <QString>

class Client;

// What the server's messages and the start and end buttons do to a test.
class TestControl
{
public:
    explicit TestControl(Client &client);

    // Data arrived: read it all as one message and handle it.
    void wsk_DataArrival();
    // Handles one message as it arrived. Errors show the handler's error box.
    void handleMessage(const QString &message);
    void cmdread_Click();
    void cmdexit_Click();

private:
    Client &m_client;
};
