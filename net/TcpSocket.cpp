#include "net/TcpSocket.h"

#include <QTcpSocket>

TcpSocket::TcpSocket(QObject *parent) : Socket(parent), m_socket(new QTcpSocket(this)) {}
TcpSocket::~TcpSocket() = default;
void TcpSocket::setRemoteHost(const QString &host) { m_host = host; }
void TcpSocket::setRemotePort(int port) { m_port = port; }
void TcpSocket::close() {}
void TcpSocket::connectToRemote() {}
bool TcpSocket::sendData(const QString &) { return false; }
QString TcpSocket::getData() { return {}; }
int TcpSocket::state() const { return m_state; }
