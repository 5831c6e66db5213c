#pragma once

#include "net/Protocol.h"

#include <QString>

class Client;
struct ClientState;

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

    // The student's identity and the counters of the test, as the progress and end reports
    // carry them.
    static protocol::Report currentReport(const ClientState &state);

private:
    Client &m_client;
};
