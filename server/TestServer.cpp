// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/TestServer.h"

#include <QTcpSocket>

TestServer::TestServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestServer::acceptClients);
    m_hostileEnd.setSingleShot(true);
    connect(&m_hostileEnd, &QTimer::timeout, this, &TestServer::endHostile);
}

TestServer::~TestServer()
{
    dropClients(false);
}

void TestServer::dropClients(bool later)
{
    // Sessions refer to m_settings and forward to this object's signals: they go first, those
    // already disconnected and waiting for deletion included.
    m_sessions.clear();
    const auto sessions = findChildren<ClientSession *>(Qt::FindDirectChildrenOnly);
    for (ClientSession *session : sessions) {
        session->disconnect(this);
        session->disconnectClient();
        if (later)
            session->deleteLater();
        else
            delete session;
    }
}

Status TestServer::listen(quint16 port, const QHostAddress &address)
{
    // A whole classroom connects at once when the teacher says so: the system's queue of
    // connections not yet taken holds a room, not the default 50.
    m_server.setMaxPendingConnections(256);
    m_server.setListenBacklogSize(256);
    if (!m_server.listen(address, port))
        return Status::failure(QStringLiteral("cannot listen on %1 port %2: %3")
                                   .arg(address.toString())
                                   .arg(port)
                                   .arg(m_server.errorString()));
    return Status::success();
}

quint16 TestServer::port() const
{
    return m_server.isListening() ? m_server.serverPort() : 0;
}

void TestServer::close()
{
    m_server.close();
    // Later: close() may be called from a handler of a session's signal.
    dropClients(true);
}

bool TestServer::sendTo(int id, const QString &message)
{
    ClientSession *target = session(id);
    if (!target)
        return false;
    target->send(message);
    return true;
}

void TestServer::sendToAll(const QString &message)
{
    for (const QPointer<ClientSession> &session : std::as_const(m_sessions))
        if (session)
            session->send(message);
}

void TestServer::sendTextToAll()
{
    for (const QPointer<ClientSession> &session : std::as_const(m_sessions))
        if (session)
            session->sendText();
}

void TestServer::sendSettingsToAll()
{
    for (const QPointer<ClientSession> &session : std::as_const(m_sessions))
        if (session && !session->isHostile())
            session->start();
}

int TestServer::sendChangedSettingsToAll()
{
    int count = 0;
    for (const QPointer<ClientSession> &session : std::as_const(m_sessions))
        if (session && !session->isHostile() && session->sendChangedSettings())
            ++count;
    return count;
}

void TestServer::acceptClients()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (m_sessions.size() >= m_settings.maxConnections) {
            ++m_refused;
            const QString peer = QStringLiteral("%1:%2")
                                     .arg(socket->peerAddress().toString())
                                     .arg(socket->peerPort());
            socket->abort();
            socket->deleteLater();
            emit connectionRefused(peer);
            continue;
        }
        const int id = ++m_lastId;
        auto *session = new ClientSession(id, socket, m_settings, this);
        m_sessions.insert(id, session);
        connect(session, &ClientSession::messageReceived, this, &TestServer::messageReceived);
        connect(session, &ClientSession::replyReceived, this, &TestServer::replyReceived);
        connect(session, &ClientSession::startRequested, this, &TestServer::startRequested);
        connect(session, &ClientSession::progressReported, this, &TestServer::progressReported);
        connect(session, &ClientSession::endReported, this, &TestServer::endReported);
        connect(session, &ClientSession::unrecognised, this, &TestServer::unrecognised);
        connect(session, &ClientSession::messageSent, this, &TestServer::messageSent);
        connect(session, &ClientSession::settingsSent, this, &TestServer::settingsSent);
        connect(session, &ClientSession::warning, this, &TestServer::warning);
        connect(session, &ClientSession::hostileSummary, this, &TestServer::hostileSummary);
        connect(session, &ClientSession::disconnected, this, [this](int gone) {
            if (QPointer<ClientSession> session = m_sessions.take(gone)) {
                session->deleteLater();
                emit clientDisconnected(gone);
            }
        });
        emit clientConnected(id, session->peer());
        if (hostileArmed() && !hostileRunning())
            beginHostile();
        if (!hostileRunning() || !makeHostile(session))
            session->start();
    }
}

Status TestServer::startHostile(int seconds, quint32 seed)
{
    if (seconds <= 0)
        return Status::failure(QStringLiteral("the hostile period needs a number of seconds"));
    if (!m_server.isListening() || !m_server.serverAddress().isLoopback())
        return Status::failure(
            QStringLiteral("the hostile mode runs only on a server listening on this computer"));
    m_hostileSeconds = seconds;
    m_hostileSeed = seed;
    if (!m_sessions.isEmpty())
        beginHostile();
    return Status::success();
}

void TestServer::beginHostile()
{
    m_hostileEnd.start(m_hostileSeconds * 1000);
    emit hostileStarted();
    for (const QPointer<ClientSession> &session : std::as_const(m_sessions))
        if (session)
            makeHostile(session);
}

bool TestServer::makeHostile(ClientSession *session)
{
    if (!session->isLoopback()) {
        emit warning(session->id(), QStringLiteral("not on this computer: no hostile bursts"));
        return false;
    }
    session->startHostile(m_hostileSeed);
    return true;
}

void TestServer::endHostile()
{
    if (!hostileArmed())
        return;
    m_hostileSeconds = 0;
    m_hostileEnd.stop();
    for (const QPointer<ClientSession> &session : std::as_const(m_sessions))
        if (session)
            session->endHostile();
    emit hostileEnded();
}
