// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Gbk.h"
#include "net/Socket.h"

#include <QAbstractSocket>

#include <deque>

class QTcpSocket;
class QTimer;

// The socket over a real TCP connection. QTcpSocket may signal from inside a call (a refused
// connect on this machine, a failed host lookup), so every event is queued and delivered
// later from the event loop, in order; a handler that runs a modal window's loop sees the
// events that come up meanwhile delivered inside that loop. Each arrival is read when it
// comes and delivered as one text, never joined with another. An arrival that ends in the
// lead byte of a two-byte character is held for a moment: a next arrival that completes the
// character takes the byte, otherwise it is decoded (as U+FFFD) with its own arrival. Events
// of a connection that was closed or replaced before their delivery are dropped.
class TcpSocket final : public Socket
{
    Q_OBJECT
public:
    // How long a connect may take before it fails as timed out, like the desktop sockets the
    // server software was built for, instead of the minutes the system would wait.
    static constexpr int kDefaultConnectTimeoutMs = 21000;
    // How long an arrival that ends in a lead byte waits for the byte that completes it.
    static constexpr int kLeadByteWaitMs = 50;

    explicit TcpSocket(QObject *parent = nullptr);
    ~TcpSocket() override;

    void setRemoteHost(const QString &host) override;
    void setRemotePort(int port) override;
    QString remoteHost() const override { return m_host; }
    int remotePort() const override { return m_port; }
    void close() override;
    void connectToRemote() override;
    bool sendData(const QString &text) override;
    QString getData() override;
    int state() const override;

    void setConnectTimeout(int milliseconds);
    void setLeadByteWait(int milliseconds);

private:
    enum class EventKind { Connected, DataArrival, Closed, Error };
    struct Event
    {
        EventKind kind;
        quint64 connection;
        int number = 0;
        QString description;
    };

    void onStateChanged(QAbstractSocket::SocketState socketState);
    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError socketError);
    void onConnectTimeout();
    void fail(int number, const QString &description);
    void postArrival(const QString &text);
    void releaseHeld();
    void post(EventKind kind, int number = 0, const QString &description = {});
    void deliver();
    void reset();

    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QTimer *m_holdTimer = nullptr;
    QString m_held; // an arrival waiting for the byte that completes its last character
    QString m_host;
    int m_port = 0;
    int m_state = Closed;
    gbk::StreamDecoder m_decoder;

    quint64 m_connection = 0; // counts connects and closes; tags the queued events
    std::deque<Event> m_events;
    bool m_deliveryPosted = false;
};
