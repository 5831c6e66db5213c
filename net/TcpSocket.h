#pragma once

#include "core/Gbk.h"
#include "net/Socket.h"

#include <QAbstractSocket>

#include <deque>

class QTcpSocket;
class QTimer;

// The socket over a real TCP connection. QTcpSocket may signal from inside a call (a refused
// connect on this machine, a failed host lookup), so every event is queued and delivered
// later from the event loop, one at a time: an event that comes up while a handler of another
// one still runs (a modal window's loop) waits until that handler returns. Events of a
// connection that was closed or replaced before their delivery are dropped.
class TcpSocket final : public Socket
{
    Q_OBJECT
public:
    // How long a connect may take before it fails as timed out, like the desktop sockets the
    // server software was built for, instead of the minutes the system would wait.
    static constexpr int kDefaultConnectTimeoutMs = 21000;

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
    void post(EventKind kind, int number = 0, const QString &description = {});
    void deliver();
    void reset();

    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QString m_host;
    int m_port = 0;
    int m_state = Closed;
    gbk::StreamDecoder m_decoder;

    quint64 m_connection = 0; // counts connects and closes; tags the queued events
    std::deque<Event> m_events;
    bool m_deliveryPosted = false;
    bool m_delivering = false;
};
