// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Platform.h"
#include "net/Socket.h"
#include "tests/support/FakeInputMethodService.h"

#include <QStringList>

#include <functional>

// The clipboard and the primary selection as two texts a test may fill.
class FakeClipboard final : public Clipboard
{
public:
    void clear() override
    {
        ++clears;
        text.clear();
        selection.clear();
    }
    int clears = 0;
    QString text;
    QString selection;
};

class FakeMachineInfo final : public MachineInfo
{
public:
    QString computerName() override { return name; }
    QString name = QStringLiteral("PC07");
};

class FakeWindowTitles final : public WindowTitles
{
public:
    QStringList titles() override { return list; }
    QStringList list;
};

// A socket that records what is sent and lets a test raise its events.
class FakeSocket final : public Socket
{
    Q_OBJECT
public:
    using Socket::Socket;

    void setRemoteHost(const QString &host) override { m_host = host; }
    void setRemotePort(int port) override { m_port = port; }
    QString remoteHost() const override { return m_host; }
    int remotePort() const override { return m_port; }
    void close() override
    {
        ++closes;
        m_state = Closed;
    }
    void connectToRemote() override
    {
        ++connects;
        m_state = Connecting;
    }
    bool sendData(const QString &text) override
    {
        if (m_state != Connected || failSends)
            return false;
        sent << text;
        if (onSent)
            onSent(text);
        return true;
    }
    QString getData() override
    {
        const QString data = incoming;
        incoming.clear();
        return data;
    }
    int state() const override { return m_state; }

    // Test side.
    void setState(int state) { m_state = state; }
    // One arrival: the handler gets it with the event, as from the real socket.
    void arrive(const QString &data)
    {
        emit dataArrival(incoming + data);
        incoming.clear();
    }
    void raiseConnected()
    {
        m_state = Connected;
        emit connected();
    }
    void raiseClosed()
    {
        m_state = Closing;
        emit closed();
    }
    void raiseError()
    {
        m_state = Error;
        emit error(10061, QStringLiteral("refused"));
    }

    QStringList sent;
    QString incoming;
    bool failSends = false;                      // a connected socket whose writes fail
    std::function<void(const QString &)> onSent; // told of every message sent
    int closes = 0;
    int connects = 0;

private:
    QString m_host;
    int m_port = 0;
    int m_state = Closed;
};
