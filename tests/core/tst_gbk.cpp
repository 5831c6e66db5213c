// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Gbk.h"
#include "tests/support/TestRegistry.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

class GbkTest : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("1099|PC07|abc") << QByteArray("1099|PC07|abc");
        QTest::newRow("chinese") << QStringLiteral("连接") << QByteArray("\xc1\xac\xbd\xd3");
        QTest::newRow("full-width brackets")
            << QStringLiteral("英语（美国）")
            << QByteArray("\xd3\xa2\xd3\xef\xa3\xa8\xc3\xc0\xb9\xfa\xa3\xa9");
        QTest::newRow("curly quotes")
            << QStringLiteral("“连接”") << QByteArray("\xa1\xb0\xc1\xac\xbd\xd3\xa1\xb1");
        QTest::newRow("mixed") << QStringLiteral("a中b，c")
                               << QByteArray("a\xd6\xd0"
                                             "b\xa3\xac"
                                             "c");
        // Code page 936 gives 0x80 to the euro sign.
        QTest::newRow("euro") << QStringLiteral("€5")
                              << QByteArray("\x80"
                                            "5");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        const gbk::Encoded encoded = gbk::encode(text);
        QVERIFY(encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(gbk::decode(bytes), text);
    }

    void invalidBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0xFF") << QByteArray("a\xff"
                                            "b")
                              << QStringLiteral("a\uFFFDb");
        QTest::newRow("lone lead at end") << QByteArray("ab\xd6") << QStringLiteral("ab\uFFFD");
        QTest::newRow("lead then digit") << QByteArray("\xd6"
                                                       "0\xd6\xd0")
                                         << QStringLiteral("\uFFFD0中");
        QTest::newRow("lead then 0xFF") << QByteArray("\xd6\xff") << QStringLiteral("\uFFFD\uFFFD");
        QTest::newRow("unassigned pair") << QByteArray("\xaa\xa1x") << QStringLiteral("\uFFFDx");
        QTest::newRow("bad bytes in a long run")
            << QByteArray("\xd6\xd0\xff\xd6\xd0\xfe\xfe\xd6\xd0")
            << QStringLiteral("中\uFFFD中\uFFFD中");
        QTest::newRow("nul kept") << QByteArray("a\0b", 3)
                                  << QString(QStringLiteral("a") + QChar(0) + u'b');
    }
    void invalidBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(gbk::decode(bytes), text);
    }

    void unencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unencodable");
        QTest::newRow("emoji") << QStringLiteral("好😀!") << QByteArray("\xba\xc3!")
                               << QStringLiteral("😀");
        QTest::newRow("ext-b, twice")
            << QStringLiteral("𠀀a𠀀中") << QByteArray("a\xd6\xd0") << QStringLiteral("𠀀");
        QTest::newRow("two kinds in order")
            << QStringLiteral("😀中€𠀀😀") << QByteArray("\xd6\xd0\x80") << QStringLiteral("😀𠀀");
        QTest::newRow("hangul") << QStringLiteral("한") << QByteArray() << QStringLiteral("한");
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD800)) + u'x' << QByteArray("x") << QString(QChar(0xD800));
    }
    void unencodable()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unencodable);
        const gbk::Encoded encoded = gbk::encode(text);
        QVERIFY(!encoded.ok());
        QCOMPARE(encoded.bytes, bytes);
        QCOMPARE(encoded.unencodable, unencodable);
    }

    void streamJoinsSplitCharacter()
    {
        gbk::StreamDecoder decoder;
        QCOMPARE(decoder.decode(QByteArray("ab\xc1")), QStringLiteral("ab"));
        QVERIFY(decoder.hasPending());
        QCOMPARE(decoder.decode(QByteArray("\xac\xbd")), QStringLiteral("连"));
        QCOMPARE(decoder.decode(QByteArray("\xd3")), QStringLiteral("接"));
        QVERIFY(!decoder.hasPending());
    }

    void streamKeepsTrailByteThatLooksLikeLead()
    {
        // "中" ends with 0xD0, which could also lead a character: the walk from the start
        // shows it is a second byte, so nothing is held back.
        gbk::StreamDecoder decoder;
        QCOMPARE(decoder.decode(QByteArray("\xd6\xd0")), QStringLiteral("中"));
        QVERIFY(!decoder.hasPending());
    }

    void streamFlushReplacesLoneLead()
    {
        gbk::StreamDecoder decoder;
        QCOMPARE(decoder.decode(QByteArray("x\xd6")), QStringLiteral("x"));
        QCOMPARE(decoder.flush(), QStringLiteral("\uFFFD"));
        QVERIFY(!decoder.hasPending());
        QCOMPARE(decoder.decode(QByteArray("y")), QStringLiteral("y"));
    }

    void streamLeadFollowedByInvalidTrail()
    {
        gbk::StreamDecoder decoder;
        QCOMPARE(decoder.decode(QByteArray("\xd6")), QString());
        QCOMPARE(decoder.decode(QByteArray("\x20\xd6\xd0")), QStringLiteral("\uFFFD 中"));
    }

    // The socket gives a lone lead byte to the arrival it came with when the next arrival does
    // not complete it; an empty read completes nothing and breaks nothing.
    void streamLoneLeadStaysWithItsPiece()
    {
        gbk::StreamDecoder decoder;
        QCOMPARE(decoder.decode(QByteArray("0011\xd6")), QStringLiteral("0011"));
        QVERIFY(!gbk::completesLead(QByteArray("0008")));
        QCOMPARE(decoder.flush(), QStringLiteral("\uFFFD"));
        QCOMPARE(decoder.decode(QByteArray("000810|5")), QStringLiteral("000810|5"));

        QCOMPARE(decoder.decode(QByteArray("a\xd6")), QStringLiteral("a"));
        QCOMPARE(decoder.decode(QByteArray()), QString());
        QVERIFY(decoder.hasPending());
        QVERIFY(gbk::completesLead(QByteArray("\xd0")));
        QCOMPARE(decoder.decode(QByteArray("\xd0")), QStringLiteral("中"));
    }

    // Any split of any byte string decodes to what the whole string decodes to.
    void streamEqualsWholeDecode()
    {
        QRandomGenerator random(936);
        const QByteArray alphabet("\x00\x41\x7e\x80\x81\xa1\xa3\xb0\xd0\xd6\xfe\xff\x40\x30", 14);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes;
            const int size = random.bounded(12);
            for (int k = 0; k < size; ++k)
                bytes.append(alphabet[random.bounded(int(alphabet.size()))]);
            gbk::StreamDecoder decoder;
            QString pieces;
            int at = 0;
            while (at < bytes.size()) {
                const int length = 1 + random.bounded(3);
                pieces += decoder.decode(bytes.mid(at, length));
                at += length;
            }
            pieces += decoder.flush();
            QCOMPARE(pieces, gbk::decode(bytes));
        }
    }

    // A full 64 KiB message must not stall the UI: both directions well under 50 ms.
    void largeMessageIsFast()
    {
        QString text;
        while (text.size() < 48 * 1024)
            text += QStringLiteral("澄岭文字录入abc 123，测试“连接”。");
        QElapsedTimer timer;
        timer.start();
        const gbk::Encoded encoded = gbk::encode(text);
        const qint64 encodeMs = timer.restart();
        const QString decoded = gbk::decode(encoded.bytes);
        const qint64 decodeMs = timer.elapsed();
        QVERIFY(encoded.ok());
        QVERIFY(encoded.bytes.size() >= 64 * 1024);
        QCOMPARE(decoded, text);
        qInfo("encode %lld ms, decode %lld ms for %lld bytes", encodeMs, decodeMs,
              qint64(encoded.bytes.size()));
        QVERIFY2(encodeMs < 50 && decodeMs < 50, "GBK conversion too slow");
    }
};

CLIENT_TEST(GbkTest)
#include "tst_gbk.moc"
