#pragma once

#include "core/Gbk.h"
#include "net/Socket.h"

class QTcpSocket;

// The socket over a real TCP connection.
class TcpSocket final : public Socket
{
    Q_OBJECT
public:
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

private:
    QTcpSocket *m_socket = nullptr;
    QString m_host;
    int m_port = 0;
    int m_state = Closed;
    gbk::StreamDecoder m_decoder;
};
