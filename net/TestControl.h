#pragma once

#include "net/Protocol.h"

#include <QObject>
#include <QString>

class Client;
struct ClientState;

// What the server's messages and the start button do to a test. What a message asks of the
// layers above the network (the hint display, the input method list, the forbidden programs,
// root practice, the message window) goes out through the signals, in the order the message
// asks for it; a reply follows only after its signal has been handled.
class TestControl : public QObject
{
    Q_OBJECT
public:
    explicit TestControl(Client &client);

    // One arrival of the socket: one message.
    void wsk_DataArrival(const QString &message);
    // Handles one message as it arrived. Errors show the handler's error box.
    void handleMessage(const QString &message);
    void cmdread_Click();

    // The student's identity and the counters of the test, as the progress and end reports
    // carry them.
    static protocol::Report currentReport(const ClientState &state);

signals:
    void teacherMessage(const QString &text);
    void rootPractice(const QString &body);
    void hintsWithdrawn();
    void inputMethodRule(const QString &rule);
    void forbiddenList(const QString &list);

private:
    Client &m_client;
};
