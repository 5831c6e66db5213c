// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/ClientSession.h"
#include "server/ServerSettings.h"

#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

// The bundled test server as a library: what the chengling-testserver tool runs, and what tests
// drive with a real client on 127.0.0.1.
//
//   TestServer server;
//   server.settings().script.apply("words 中国 人民", QDir());   // or script.load(path)
//   server.listen(0);                    // port 0: any free port, read it back with port()
//   connect(&server, &TestServer::progressReported, ...);
//
// Each connection becomes a ClientSession numbered from 1. On connect the server sends the
// script's settings one at a time ("0100", "0009" waiting for "1008", "0008" waiting for
// "1010"); each "1009" from a client is answered with "0010" + the script's text, followed by the
// script's teacher messages at their moments. Reports are read, checked and signalled; anything
// else a client sends is signalled as unrecognised. Signals carry the client's number.
//
// Changes to settings() take effect at once, for connected clients too (the next message sent
// uses them).
class TestServer : public QObject
{
    Q_OBJECT
public:
    explicit TestServer(QObject *parent = nullptr);
    ~TestServer() override;

    ServerSettings &settings() { return m_settings; }
    const ServerSettings &settings() const { return m_settings; }

    // Starts listening; port 0 picks a free port. Loopback unless another address is given
    // (QHostAddress::Any for every interface).
    Status listen(quint16 port, const QHostAddress &address = QHostAddress::LocalHost);
    // The port actually listened on, 0 when not listening.
    quint16 port() const;
    // Stops listening and disconnects every client, without clientDisconnected signals.
    void close();

    // Numbers of the connected clients, in order of connection.
    QList<int> clientIds() const { return m_sessions.keys(); }
    int clientCount() const { return int(m_sessions.size()); }
    // Connections closed at once because settings().maxConnections were connected.
    int refusedCount() const { return m_refused; }
    ClientSession *session(int id) const { return m_sessions.value(id); }

    // Sends any message, as the write mode says. False when no such client is connected.
    bool sendTo(int id, const QString &message);
    void sendToAll(const QString &message);
    // Sends the script's text as if the client(s) had asked for it.
    void sendTextToAll();
    // Sends the settings again ("0100", "0009" and "0008", waiting for the replies as on
    // connect), to every client.
    void sendSettingsToAll();
    // Sends every client those settings that differ from what it was sent last; the number of
    // clients that were sent any.
    int sendChangedSettingsToAll();

    // Hostile mode, for checking that a client survives a server gone wrong: for `seconds`
    // every connected client gets random codes and bodies, raw bytes, lone GBK lead bytes,
    // texts over the limit, cut and joined at random (HostileStream), at a bounded rate; then
    // each gets the settings again and the server is a normal test server once more. The period
    // starts now when a client is connected, else with the first connection; clients that
    // connect during it join in. Only for a server listening on this computer, and only
    // clients on this computer get the bursts. The seed makes a run repeatable.
    Status startHostile(int seconds, quint32 seed);
    // Ends the period at once (it also ends by itself).
    void endHostile();
    bool hostileArmed() const { return m_hostileSeconds > 0; }
    bool hostileRunning() const { return m_hostileEnd.isActive(); }

signals:
    void clientConnected(int id, const QString &peer);
    void clientDisconnected(int id);
    // Every message read from a client, after cutting the stream into messages.
    void messageReceived(int id, const QString &message);
    // The four-character messages: "1009", "1011", "1008", "1010", "1100".
    void replyReceived(int id, const QString &code);
    void startRequested(int id);
    void progressReported(int id, const protocol::Report &report);
    void endReported(int id, const protocol::Report &report);
    void unrecognised(int id, const QString &text);
    void messageSent(int id, const QString &message);
    // The client has been sent all three settings (and answered, or timed out).
    void settingsSent(int id);
    void warning(int id, const QString &text);
    void hostileStarted();
    void hostileSummary(int id, const QString &text);
    // The period is over; the settings go out again after a short pause.
    void hostileEnded();
    // A connection was closed at once: too many were connected.
    void connectionRefused(const QString &peer);

private:
    void acceptClients();
    void dropClients(bool later);
    void beginHostile();
    bool makeHostile(ClientSession *session);

    ServerSettings m_settings;
    QTcpServer m_server;
    QMap<int, QPointer<ClientSession>> m_sessions;
    int m_lastId = 0;
    int m_refused = 0;
    int m_hostileSeconds = 0;
    quint32 m_hostileSeed = 0;
    QTimer m_hostileEnd;
};
