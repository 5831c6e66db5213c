// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

// The client's one TCP connection to the test server. Its state numbers, the GBK conversion
// and one data-arrival event per arrival, carrying the arrival's text, are what the
// connection display and the message handler rely on. Events are delivered on the UI thread,
// in order, never from inside a call of an operation; a handler's modal window lets the events
// that come up meanwhile through, each on its own.
class Socket : public QObject
{
    Q_OBJECT
public:
    enum State {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ConnectionPending = 3,
        ResolvingHost = 4,
        HostResolved = 5,
        Connecting = 6,
        Connected = 7,
        Closing = 8, // the peer is closing
        Error = 9,
    };

    using QObject::QObject;

    virtual void setRemoteHost(const QString &host) = 0;
    virtual void setRemotePort(int port) = 0;
    virtual QString remoteHost() const = 0;
    virtual int remotePort() const = 0;

    // Closes the connection from any state; a connect may follow.
    virtual void close() = 0;
    // Starts connecting to the remote host and port last set; returns at once.
    virtual void connectToRemote() = 0;
    // Sends the text as GBK with one write; a character GBK cannot hold goes as "?". False
    // only when not connected (nothing is sent) or the write fails.
    [[nodiscard]] virtual bool sendData(const QString &text) = 0;
    // All bytes received and not yet delivered, decoded from GBK, as one text.
    virtual QString getData() = 0;
    virtual int state() const = 0;

signals:
    void connected();
    void dataArrival(const QString &data);
    void closed();
    void error(int number, const QString &description);
};
