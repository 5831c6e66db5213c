// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "server/HostileStream.h"
#include "server/TestServer.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

bool isLead(char byte)
{
    return quint8(byte) >= 0x81 && quint8(byte) <= 0xFE;
}

QByteArray joined(const HostileStream::Burst &burst)
{
    QByteArray bytes;
    for (const HostileStream::Write &write : burst.writes)
        bytes += write.bytes;
    return bytes;
}

// A client that reads whatever arrives and keeps each read.
class Reader : public QObject
{
public:
    explicit Reader(quint16 port)
    {
        connect(&socket, &QTcpSocket::readyRead, this, [this] {
            const QByteArray bytes = socket.readAll();
            total += bytes.size();
            arrivals.append(bytes);
        });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void send(const QByteArray &bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    QByteArray since(qsizetype first) const
    {
        QByteArray bytes;
        for (qsizetype i = first; i < arrivals.size(); ++i)
            bytes += arrivals.at(i);
        return bytes;
    }

    QTcpSocket socket;
    QList<QByteArray> arrivals;
    qint64 total = 0;
};

std::unique_ptr<TestServer> hostileServer()
{
    auto server = std::make_unique<TestServer>();
    ServerSettings &settings = server->settings();
    settings.messageGapMs = 30;
    settings.environmentPauseMs = 50;
    settings.hostileSettleMs = 400;
    if (!settings.script.apply(QStringLiteral("words 中国 人民"), QDir()).ok() ||
        !settings.script.apply(QStringLiteral("time-limit 3"), QDir()).ok() ||
        !server->listen(0).ok())
        return nullptr;
    return server;
}

} // namespace

class HostileStreamTest : public QObject
{
    Q_OBJECT
private slots:
    void sameSeedSameStream()
    {
        HostileStream first(42, 1);
        HostileStream again(42, 1);
        HostileStream otherClient(42, 2);
        HostileStream otherSeed(43, 1);
        int differentClient = 0;
        int differentSeed = 0;
        for (int i = 0; i < 50; ++i) {
            const QByteArray bytes = joined(first.next());
            QCOMPARE(joined(again.next()), bytes);
            differentClient += joined(otherClient.next()) != bytes;
            differentSeed += joined(otherSeed.next()) != bytes;
        }
        QVERIFY(differentClient > 40);
        QVERIFY(differentSeed > 40);
    }

    // Over many bursts: every kind of item, writes cut and joined, sizes bounded, and no burst
    // that leaves the client holding half a character.
    void burstsCoverEveryKindWithinBounds()
    {
        HostileStream stream(7, 3);
        QMap<QString, int> kinds;
        int longTexts = 0;
        int loneLeadCuts = 0;
        int cutsInsideCharacters = 0;
        int joinedWrites = 0;
        int pausedWrites = 0;
        for (int i = 0; i < 3000; ++i) {
            const HostileStream::Burst burst = stream.next();
            QVERIFY(!burst.writes.isEmpty());
            QVERIFY(!burst.items.isEmpty());
            QVERIFY2(burst.size() <= HostileStream::kMaxBurstBytes,
                     qPrintable(QString::number(burst.size())));
            for (const QString &item : burst.items)
                ++kinds[item];
            gbk::StreamDecoder whole;
            const QString text = whole.decode(joined(burst));
            QVERIFY2(!whole.hasPending(), "a burst ends inside a two-byte character");
            if (burst.items.contains(QLatin1String(HostileStream::kLongText))) {
                ++longTexts;
                QVERIFY(text.size() > HostileStream::kTextLimit);
            }
            for (qsizetype w = 0; w < burst.writes.size(); ++w) {
                const HostileStream::Write &write = burst.writes.at(w);
                QVERIFY(!write.bytes.isEmpty());
                QVERIFY(write.pauseAfterMs >= 0 &&
                        write.pauseAfterMs <= HostileStream::kMaxPauseMs);
                (write.pauseAfterMs == 0 ? joinedWrites : pausedWrites) += 1;
                gbk::StreamDecoder piece;
                piece.decode(write.bytes);
                cutsInsideCharacters += piece.hasPending();
                if (w + 1 < burst.writes.size() && isLead(write.bytes.back()) &&
                    burst.writes.at(w + 1).bytes.startsWith('0') && write.pauseAfterMs >= 20)
                    ++loneLeadCuts;
            }
        }
        for (const char *kind :
             {HostileStream::kRandomMessage, HostileStream::kEdgeMessage, HostileStream::kRawBytes,
              HostileStream::kLoneLeadByte, HostileStream::kLongText})
            QVERIFY2(kinds.value(QLatin1String(kind)) > 0, kind);
        QCOMPARE(kinds.value(QLatin1String(HostileStream::kLongText)), longTexts);
        // Every lone lead byte item is cut right after its lead byte, before a code.
        QVERIFY2(loneLeadCuts >= kinds.value(QLatin1String(HostileStream::kLoneLeadByte)),
                 qPrintable(QStringLiteral("%1 cuts").arg(loneLeadCuts)));
        QVERIFY(cutsInsideCharacters > 0);
        QVERIFY(joinedWrites > 0);
        QVERIFY(pausedWrites > 0);
    }
};

class HostileServerTest : public QObject
{
    Q_OBJECT
private slots:
    void refusedWhereItDoesNotBelong_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("listen");
        QTest::addColumn<bool>("everyInterface");
        QTest::newRow("no period") << 0 << true << false;
        QTest::newRow("negative period") << -5 << true << false;
        QTest::newRow("not listening") << 2 << false << false;
        QTest::newRow("listening on every interface") << 2 << true << true;
    }
    void refusedWhereItDoesNotBelong()
    {
        QFETCH(int, seconds);
        QFETCH(bool, listen);
        QFETCH(bool, everyInterface);
        TestServer server;
        if (listen) {
            const Status status =
                server.listen(0, everyInterface ? QHostAddress(QHostAddress::Any)
                                                : QHostAddress(QHostAddress::LocalHost));
            if (!status.ok())
                QSKIP(qPrintable(status.error));
        }
        const Status status = server.startHostile(seconds, 1);
        QVERIFY(!status.ok());
        QVERIFY(!status.error.isEmpty());
        QVERIFY(!server.hostileArmed());
    }

    // The period starts with the first connection, holds the test's own messages back, ends by
    // itself, and then the client gets the settings again and a normal test.
    void periodEndsAndTheTestRunsNormally()
    {
        auto server = hostileServer();
        QVERIFY(server);
        QVERIFY(server->startHostile(1, 99).ok());
        QVERIFY(server->hostileArmed());
        QVERIFY(!server->hostileRunning());
        QSignalSpy started(server.get(), &TestServer::hostileStarted);
        QSignalSpy ended(server.get(), &TestServer::hostileEnded);
        QSignalSpy summaries(server.get(), &TestServer::hostileSummary);
        QSignalSpy warnings(server.get(), &TestServer::warning);
        QSignalSpy settingsSent(server.get(), &TestServer::settingsSent);

        Reader client(server->port());
        QTRY_COMPARE(started.size(), 1);
        QVERIFY(server->hostileRunning());
        QTRY_VERIFY(client.total > 1000);
        // A start request during the period gets no text.
        client.send("1009");
        QTRY_VERIFY(std::any_of(warnings.cbegin(), warnings.cend(), [](const QList<QVariant> &w) {
            return w.at(1).toString().contains(QStringLiteral("0010<cz>中国 人民"));
        }));

        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
        QVERIFY(!server->hostileRunning());
        QVERIFY(!server->hostileArmed());
        QVERIFY(!summaries.isEmpty());
        QVERIFY(summaries.last().at(1).toString().startsWith(QStringLiteral("hostile: ")));
        // Bounded rate: at most one burst per interval over the period, plus the first.
        const int bursts = 1000 / server->settings().hostileBurstMs + 2;
        QVERIFY2(client.total <= bursts * HostileStream::kMaxBurstBytes,
                 qPrintable(QString::number(client.total)));

        // What was written before the end may still be on its way; the settings follow after
        // the pause, in a read of their own.
        QTest::qWait(200);
        const qsizetype mark = client.arrivals.size();
        const QByteArray environment =
            gbk::encode(server->settings().script.environmentMessage()).bytes;
        QTRY_VERIFY(client.since(mark).startsWith(environment));
        QTRY_VERIFY(client.since(mark).contains("0009"));
        client.send("1008");
        QTRY_VERIFY(client.since(mark).contains("00083|5"));
        client.send("1010");
        QTRY_COMPARE(settingsSent.size(), 1);
        const qsizetype beforeText = client.arrivals.size();
        client.send("1009");
        const QByteArray text = gbk::encode(QStringLiteral("0010<cz>中国 人民")).bytes;
        QTRY_COMPARE(client.since(beforeText), text);
        // Nothing hostile follows.
        QTest::qWait(300);
        QCOMPARE(client.since(beforeText), text);
    }

    // Clients connected when the period begins get it too, each a stream of its own; a client
    // that connects after the end gets only the normal settings.
    void everyConnectedClientAndNobodyAfter()
    {
        auto server = hostileServer();
        QVERIFY(server);
        Reader first(server->port());
        Reader second(server->port());
        QTRY_COMPARE(server->clientCount(), 2);
        QTRY_VERIFY(!second.arrivals.isEmpty());
        QVERIFY(server->startHostile(30, 5).ok());
        QVERIFY(server->hostileRunning());
        const qint64 firstBefore = first.total;
        const qint64 secondBefore = second.total;
        QTRY_VERIFY(first.total > firstBefore + 2000 && second.total > secondBefore + 2000);
        QVERIFY(first.since(0) != second.since(0));
        server->endHostile();
        QVERIFY(!server->hostileRunning());

        Reader late(server->port());
        QTRY_COMPARE(server->clientCount(), 3);
        const QByteArray environment =
            gbk::encode(server->settings().script.environmentMessage()).bytes;
        QTRY_VERIFY(!late.arrivals.isEmpty());
        QCOMPARE(late.arrivals.first(), environment);
    }

    // A client that stops reading does not make the server pile up bursts for it.
    void slowReaderIsNotBuried()
    {
        auto server = hostileServer();
        QVERIFY(server);
        server->settings().hostileBacklogBytes = 0;
        server->settings().hostileBurstMs = 5;
        QSignalSpy summaries(server.get(), &TestServer::hostileSummary);
        QVERIFY(server->startHostile(2, 3).ok());
        Reader client(server->port());
        QTRY_VERIFY_WITH_TIMEOUT(!summaries.isEmpty(), 3000);
        QVERIFY2(summaries.first().at(1).toString().contains(QStringLiteral("left out")),
                 qPrintable(summaries.first().at(1).toString()));
        server->endHostile();
    }
};

CLIENT_TEST(HostileStreamTest)
CLIENT_TEST(HostileServerTest)
#include "tst_hostile.moc"
