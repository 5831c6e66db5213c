// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/TcpSocket.h"

#include <QPointer>
#include <QSignalBlocker>
#include <QTcpSocket>
#include <QTimer>

namespace {

// The error numbers of the desktop sockets the server software knows; the client shows none
// of them, but they keep the error event's arguments meaningful.
int errorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::NetworkError:
        return 10050;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::RemoteHostClosedError:
        return 10054;
    default:
        return 10053;
    }
}

} // namespace

TcpSocket::TcpSocket(QObject *parent)
    : Socket(parent)
    , m_socket(new QTcpSocket(this))
    , m_connectTimer(new QTimer(this))
    , m_holdTimer(new QTimer(this))
{
    m_connectTimer->setSingleShot(true);
    m_connectTimer->setInterval(kDefaultConnectTimeoutMs);
    m_holdTimer->setSingleShot(true);
    m_holdTimer->setInterval(kLeadByteWaitMs);
    connect(m_holdTimer, &QTimer::timeout, this, [this] { releaseHeld(); });
    connect(m_connectTimer, &QTimer::timeout, this, &TcpSocket::onConnectTimeout);
    connect(m_socket, &QAbstractSocket::stateChanged, this, &TcpSocket::onStateChanged);
    connect(m_socket, &QAbstractSocket::connected, this, &TcpSocket::onConnected);
    connect(m_socket, &QIODevice::readyRead, this, &TcpSocket::onReadyRead);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &TcpSocket::onError);
}

TcpSocket::~TcpSocket()
{
    const QSignalBlocker blocker(m_socket);
    m_socket->abort();
}

void TcpSocket::setRemoteHost(const QString &host)
{
    m_host = host;
}

void TcpSocket::setRemotePort(int port)
{
    m_port = port;
}

void TcpSocket::setConnectTimeout(int milliseconds)
{
    m_connectTimer->setInterval(milliseconds);
}

void TcpSocket::setLeadByteWait(int milliseconds)
{
    m_holdTimer->setInterval(milliseconds);
}

void TcpSocket::reset()
{
    ++m_connection;
    m_events.clear();
    m_connectTimer->stop();
    {
        // Closing is our own doing: QTcpSocket's signals about it must not become events.
        const QSignalBlocker blocker(m_socket);
        m_socket->abort();
    }
    m_decoder = gbk::StreamDecoder();
    m_holdTimer->stop();
    m_held.clear();
    m_state = Closed;
}

void TcpSocket::close()
{
    reset();
}

void TcpSocket::connectToRemote()
{
    // A connect replaces whatever connection there was, so the caller need not close first.
    reset();
    if (m_port < 1 || m_port > 65535) {
        fail(10049, QStringLiteral("端口 %1 无效").arg(m_port));
        return;
    }
    m_state = ResolvingHost;
    m_connectTimer->start();
    m_socket->connectToHost(m_host, quint16(m_port));
}

bool TcpSocket::sendData(const QString &text)
{
    if (m_state != Connected || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    // A character GBK cannot hold (a U+FFFD from bad bytes, say) goes as "?": dropping the
    // whole report for it would lose the student's counts.
    const gbk::Encoded encoded = gbk::encode(text, gbk::Unencodable::Replace);
    if (m_socket->write(encoded.bytes) != encoded.bytes.size())
        return false;
    m_socket->flush(); // hand the bytes to the system now rather than at the next loop turn
    return true;
}

QString TcpSocket::getData()
{
    // Arrivals are read and delivered as they come; this is only what came since.
    return m_decoder.decode(m_socket->readAll());
}

int TcpSocket::state() const
{
    return m_state;
}

void TcpSocket::onStateChanged(QAbstractSocket::SocketState socketState)
{
    if (socketState == QAbstractSocket::HostLookupState)
        m_state = ResolvingHost;
    else if (socketState == QAbstractSocket::ConnectingState)
        m_state = Connecting;
    // Connected comes with its own signal; the unconnected state after a close or an error
    // keeps showing that close or error until the client closes the socket.
}

void TcpSocket::onConnected()
{
    m_connectTimer->stop();
    m_state = Connected;
    post(EventKind::Connected);
}

void TcpSocket::onReadyRead()
{
    // Each arrival is read now, so that it stays one message however long its handling or
    // the handling of an earlier one (a modal box) takes.
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    if (m_holdTimer->isActive()) {
        m_holdTimer->stop();
        // The held arrival ended in a lead byte: it goes to this arrival only when this one
        // completes the character; otherwise it belongs to the arrival it came with.
        if (!gbk::completesLead(bytes))
            m_held += m_decoder.flush();
        postArrival(m_held);
        m_held.clear();
    }
    const QString text = m_decoder.decode(bytes);
    if (m_decoder.hasPending()) {
        m_held = text;
        m_holdTimer->start();
        return;
    }
    postArrival(text);
}

void TcpSocket::releaseHeld()
{
    if (!m_decoder.hasPending() && m_held.isEmpty())
        return;
    m_holdTimer->stop();
    const QString text = m_held + m_decoder.flush();
    m_held.clear();
    postArrival(text);
}

void TcpSocket::postArrival(const QString &text)
{
    if (!text.isEmpty())
        post(EventKind::DataArrival, 0, text);
}

void TcpSocket::onError(QAbstractSocket::SocketError socketError)
{
    if (socketError == QAbstractSocket::RemoteHostClosedError && m_state == Connected) {
        // The peer closed an established connection: what it sent before comes first.
        releaseHeld();
        m_state = Closing;
        post(EventKind::Closed);
        return;
    }
    if (m_state == Error || m_state == Closing)
        return; // one outcome per connection
    fail(errorNumber(socketError), m_socket->errorString());
}

void TcpSocket::onConnectTimeout()
{
    if (m_state != ResolvingHost && m_state != Connecting)
        return;
    {
        const QSignalBlocker blocker(m_socket);
        m_socket->abort();
    }
    fail(10060, QStringLiteral("连接超时"));
}

void TcpSocket::fail(int number, const QString &description)
{
    releaseHeld();
    m_connectTimer->stop();
    m_state = Error;
    post(EventKind::Error, number, description);
}

void TcpSocket::post(EventKind kind, int number, const QString &description)
{
    m_events.push_back({kind, m_connection, number, description});
    if (m_deliveryPosted)
        return;
    m_deliveryPosted = true;
    QMetaObject::invokeMethod(this, &TcpSocket::deliver, Qt::QueuedConnection);
}

void TcpSocket::deliver()
{
    // Events are delivered in order, also while a handler of an earlier one waits in a modal
    // window's loop: that loop delivers the events that come up meanwhile, each on its own.
    m_deliveryPosted = false;
    const QPointer<TcpSocket> self(this);
    while (!m_events.empty()) {
        const Event event = std::move(m_events.front());
        m_events.pop_front();
        if (event.connection != m_connection)
            continue;
        switch (event.kind) {
        case EventKind::Connected:
            emit connected();
            break;
        case EventKind::DataArrival:
            emit dataArrival(event.description);
            break;
        case EventKind::Closed:
            emit closed();
            break;
        case EventKind::Error:
            emit error(event.number, event.description);
            break;
        }
        if (!self)
            return; // a handler destroyed the socket
    }
}
