// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Gbk.h"
#include "net/TcpSocket.h"
#include "tests/support/TestRegistry.h"

#include <QEventLoop>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <memory>

// Every test talks to a real server on this machine.
class TcpSocketTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTcpServer> m_server;
    std::unique_ptr<TcpSocket> m_socket;
    std::unique_ptr<QSignalSpy> m_connected;
    std::unique_ptr<QSignalSpy> m_arrivals;

    // The text an arrival event carried, and all arrivals so far joined.
    QString arrival(qsizetype i) const { return m_arrivals->at(i).at(0).toString(); }
    QString arrived() const
    {
        QString all;
        for (qsizetype i = 0; i < m_arrivals->size(); ++i)
            all += arrival(i);
        return all;
    }
    std::unique_ptr<QSignalSpy> m_closed;
    std::unique_ptr<QSignalSpy> m_errors;

    void startConnect(quint16 port)
    {
        m_socket->setRemoteHost(QStringLiteral("127.0.0.1"));
        m_socket->setRemotePort(port);
        m_socket->connectToRemote();
    }

    // Connects and returns the server's side of the connection.
    QTcpSocket *connectPeer()
    {
        const qsizetype before = m_connected->size();
        startConnect(m_server->serverPort());
        if (!m_server->waitForNewConnection(5000))
            return nullptr;
        QTcpSocket *peer = m_server->nextPendingConnection();
        if (!QTest::qWaitFor([&] { return m_connected->size() > before; }, 5000))
            return nullptr;
        return peer;
    }

    static void send(QTcpSocket *peer, const QByteArray &bytes)
    {
        peer->write(bytes);
        peer->flush();
        peer->waitForBytesWritten(1000);
    }

private slots:
    void init()
    {
        m_server = std::make_unique<QTcpServer>();
        QVERIFY(m_server->listen(QHostAddress::LocalHost, 0));
        m_socket = std::make_unique<TcpSocket>();
        m_connected = std::make_unique<QSignalSpy>(m_socket.get(), &Socket::connected);
        m_arrivals = std::make_unique<QSignalSpy>(m_socket.get(), &Socket::dataArrival);
        m_closed = std::make_unique<QSignalSpy>(m_socket.get(), &Socket::closed);
        m_errors = std::make_unique<QSignalSpy>(m_socket.get(), &Socket::error);
    }
    void cleanup()
    {
        m_connected.reset();
        m_arrivals.reset();
        m_closed.reset();
        m_errors.reset();
        m_socket.reset();
        m_server.reset();
    }

    void connectRaisesConnectedLater()
    {
        QCOMPARE(m_socket->state(), int(Socket::Closed));
        startConnect(m_server->serverPort());
        QCOMPARE(m_connected->size(), 0); // never from inside the call
        QVERIFY(m_socket->state() == Socket::ResolvingHost ||
                m_socket->state() == Socket::Connecting);
        QTRY_COMPARE(m_connected->size(), 1);
        QCOMPARE(m_socket->state(), int(Socket::Connected));
        QVERIFY(m_server->hasPendingConnections() || m_server->waitForNewConnection(1000));
        QCOMPARE(m_errors->size(), 0);
    }

    void connectByHostName()
    {
        m_socket->setRemoteHost(QStringLiteral("localhost"));
        m_socket->setRemotePort(m_server->serverPort());
        m_socket->connectToRemote();
        QTRY_COMPARE(m_connected->size() + m_errors->size(), 1);
        QCOMPARE(m_socket->state(), int(Socket::Connected));
    }

    void refusedConnectIsAnError()
    {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
        const quint16 port = gone.serverPort();
        gone.close();
        startConnect(port);
        QCOMPARE(m_errors->size(), 0); // a refusal here is immediate but raised later
        QTRY_COMPARE(m_errors->size(), 1);
        QCOMPARE(m_socket->state(), int(Socket::Error));
        QCOMPARE(m_errors->at(0).at(0).toInt(), 10061);
        QCOMPARE(m_connected->size(), 0);
        m_socket->close();
        QCOMPARE(m_socket->state(), int(Socket::Closed));
    }

    void invalidPortIsAnError()
    {
        startConnect(0);
        QCOMPARE(m_errors->size(), 0);
        QTRY_COMPARE(m_errors->size(), 1);
        QCOMPARE(m_socket->state(), int(Socket::Error));
    }

    // An event of a connection closed before its delivery would confuse the buttons.
    void closeDropsPendingEvents()
    {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
        const quint16 port = gone.serverPort();
        gone.close();
        startConnect(port);
        m_socket->close();
        QTest::qWait(100);
        QCOMPARE(m_errors->size(), 0);
        QCOMPARE(m_socket->state(), int(Socket::Closed));
    }

    void peerCloseKeepsItsLastData()
    {
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        QString received;
        connect(m_socket.get(), &Socket::dataArrival, this,
                [&](const QString &data) { received += data; });
        peer->write("0010|\xb2\xe2\xca\xd4");
        peer->disconnectFromHost();
        QTRY_COMPARE(m_closed->size(), 1);
        QCOMPARE(received, QStringLiteral("0010|测试"));
        QCOMPARE(m_socket->state(), int(Socket::Closing));
        QCOMPARE(m_errors->size(), 0);
        QVERIFY(!m_socket->sendData(QStringLiteral("1098")));
        m_socket->close();
        QCOMPARE(m_socket->state(), int(Socket::Closed));
    }

    void sendNeedsConnection()
    {
        QVERIFY(!m_socket->sendData(QStringLiteral("1009")));
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        m_socket->close();
        QVERIFY(!m_socket->sendData(QStringLiteral("1009")));
        QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(peer->readAll(), QByteArray());
    }

    // A report must reach the server even when it holds a character GBK cannot hold (a U+FFFD
    // decoded from bad bytes of the settings file, an emoji): that character goes as "?".
    void sendWritesGbkAndReplacesUnencodable()
    {
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        QVERIFY(m_socket->sendData(QStringLiteral("1099|好")));
        QTRY_COMPARE(peer->bytesAvailable(), qint64(7));
        QCOMPARE(peer->readAll(), QByteArray("1099|\xba\xc3"));
        QVERIFY(m_socket->sendData(QStringLiteral("1099|李\uFFFD|😀|a")));
        QTRY_COMPARE(peer->bytesAvailable(), qint64(12));
        QCOMPARE(peer->readAll(), QByteArray("1099|\xc0\xee?|?|a"));
    }

    void writesArrivingTogetherReadAsOne()
    {
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        peer->write("0008|");
        peer->write("10|");
        peer->write("\xd6\xd0");
        peer->flush();
        QVERIFY(peer->waitForBytesWritten(1000) || peer->bytesToWrite() == 0);
        QTRY_COMPARE(arrived(), QStringLiteral("0008|10|中"));
        QCOMPARE(m_socket->getData(), QString());
        const qsizetype events = m_arrivals->size();
        QTest::qWait(50);
        QCOMPARE(m_arrivals->size(), events); // nothing left announces itself again
    }

    void characterSplitAcrossArrivals()
    {
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        m_socket->setLeadByteWait(5000); // however slow this machine, the next piece is waited for
        send(peer, "ab\xd6");
        QTest::qWait(100); // read as an arrival of its own
        send(peer, "\xd0"
                   "c");
        QTRY_COMPARE(m_arrivals->size(), 2);
        QCOMPARE(arrival(0), QStringLiteral("ab"));
        QCOMPARE(arrival(1), QStringLiteral("中c"));
    }

    // A lead byte at the end of an arrival that the next arrival does not complete (a code's
    // digits never do) stays with its own arrival: the next message keeps its code.
    void loneLeadByteStaysWithItsArrival_data()
    {
        QTest::addColumn<int>("pauseMs");
        QTest::newRow("next arrives while the byte waits") << 0;
        QTest::newRow("next arrives after the wait") << 200;
    }
    void loneLeadByteStaysWithItsArrival()
    {
        QFETCH(int, pauseMs);
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        m_socket->setLeadByteWait(pauseMs > 0 ? 50 : 5000);
        send(peer, "0099\xc4\xe3\xd6");
        QTest::qWait(100 + pauseMs); // read as an arrival of its own
        send(peer, "000810|5");
        QTRY_COMPARE(m_arrivals->size(), 2);
        QCOMPARE(arrival(0), QStringLiteral("0099你\uFFFD"));
        QCOMPARE(arrival(1), QStringLiteral("000810|5"));
    }

    void loneLeadByteBeforeTheCloseComesFirst()
    {
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        peer->write("0099\xd6");
        peer->disconnectFromHost();
        QTRY_COMPARE(m_closed->size(), 1);
        QCOMPARE(m_arrivals->size(), 1);
        QCOMPARE(arrival(0), QStringLiteral("0099\uFFFD"));
    }

    // Arrivals that come while a handler waits in a modal window's loop are delivered in that
    // loop, each as its own text: none waits for the box, none is joined with another.
    void arrivalsDuringAModalLoopStaySeparate()
    {
        QTcpSocket *peer = connectPeer();
        QVERIFY(peer);
        int depth = 0;
        int maxDepth = 0;
        QStringList texts;
        connect(m_socket.get(), &Socket::dataArrival, this, [&](const QString &data) {
            maxDepth = qMax(maxDepth, ++depth);
            texts << data;
            if (texts.size() == 1) {
                send(peer, gbk::encode(QStringLiteral("0009不限制")).bytes);
                QTest::qWait(60);
                send(peer, "000810|5");
                QEventLoop loop;
                QTimer::singleShot(150, &loop, &QEventLoop::quit);
                loop.exec();
            }
            --depth;
        });
        send(peer, "00111");
        QTRY_COMPARE(texts.size(), 3);
        QCOMPARE(maxDepth, 2);
        QCOMPARE(texts, (QStringList{"00111", "0009不限制", "000810|5"}));
    }

    void reconnectAfterClose()
    {
        QTcpSocket *first = connectPeer();
        QVERIFY(first);
        send(first, "old");
        QTRY_COMPARE(m_arrivals->size(), 1);
        m_socket->close();
        QCOMPARE(m_socket->state(), int(Socket::Closed));
        QTRY_COMPARE(first->state(), QAbstractSocket::UnconnectedState);

        QTcpSocket *second = connectPeer();
        QVERIFY(second);
        QCOMPARE(m_connected->size(), 2);
        QCOMPARE(m_socket->state(), int(Socket::Connected));
        send(second, "new");
        QTRY_COMPARE(m_arrivals->size(), 2);
        QCOMPARE(arrival(1), QStringLiteral("new")); // nothing of the old one
        QVERIFY(m_socket->sendData(QStringLiteral("1011")));
        QTRY_COMPARE(second->bytesAvailable(), qint64(4));
        QCOMPARE(m_closed->size() + m_errors->size(), 0);
    }

    void connectWhileConnectedStartsAfresh()
    {
        QTcpSocket *first = connectPeer();
        QVERIFY(first);
        QTcpSocket *second = connectPeer();
        QVERIFY(second);
        QCOMPARE(m_socket->state(), int(Socket::Connected));
        QTRY_COMPARE(first->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(m_closed->size() + m_errors->size(), 0);
    }
};

CLIENT_TEST(TcpSocketTest)
#include "tst_tcpsocket.moc"
