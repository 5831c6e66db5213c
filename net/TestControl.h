// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/Protocol.h"

#include <QObject>
#include <QString>

#include <deque>

struct ClientState;
class Connection;
class Dialogs;
class MainControls;
class ModalTracker;
class Socket;
class TestFlow;

// What the server's messages do: each arrival is parsed and dispatched, and answered where the
// protocol wants an answer. What a message asks of the test goes to the test's owner (TestFlow);
// what it asks of the layers above the network (the hint display, the input method list, the
// forbidden programs, root practice, the message window) goes out through the signals, in the
// order the message asks for it; a reply follows only after its signal has been handled.
//
// While a modal window of the client is open (this handler's own boxes, the end question, the
// result window) messages wait in a queue and are handled in order once the last window has
// closed; a teacher's message is shown at once. The queue holds at most kMaxWaiting messages:
// when it is full the oldest waiting message is dropped, unanswered. When the connection a
// message came on closes, what still waits from it is dropped and nothing is answered for it.
class TestControl : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxWaiting = 64;

    TestControl(ClientState &state, MainControls &ui, Socket *socket, Dialogs &dialogs,
                Connection &connection, ModalTracker &modal, TestFlow &flow);

    // One arrival of the socket: one message.
    void wsk_DataArrival(const QString &message);
    // Handles one message as it arrived on the current connection, or queues it.
    void handleMessage(const QString &message);

    int waitingCount() const { return int(m_waiting.size()); }
    // Messages dropped from a full queue or with their connection, since start-up.
    int droppedCount() const { return m_dropped; }

signals:
    void teacherMessage(const QString &text);
    void rootPractice(const QString &body);
    void hintsWithdrawn();
    void inputMethodRule(const QString &rule);
    void forbiddenList(const QString &list);

private:
    struct Waiting
    {
        QString message;
        quint64 connection = 0; // the connection it arrived on
        bool quiet = false;     // a duplicate-login notice answered without a second warning
    };

    void handleOne(const Waiting &message);
    void drain();
    void enqueue(Waiting message);
    void dropClosed();

    ClientState &m_state;
    MainControls &m_ui;
    Socket *m_socket;
    Dialogs &m_dialogs;
    Connection &m_connection;
    ModalTracker &m_modal;
    TestFlow &m_flow;
    bool m_handling = false;
    bool m_warningShown = false; // a duplicate-login warning is on the screen
    std::deque<Waiting> m_waiting;
    int m_dropped = 0;
};
