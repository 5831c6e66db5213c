// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/HostileStream.h"

#include "core/Gbk.h"

#include <algorithm>

namespace {

const char16_t *const kServerCodes[] = {u"0010", u"0099", u"0011", u"0100", u"0009", u"0008"};
const char16_t *const kClientCodes[] = {u"1009", u"1011", u"1008", u"1010",
                                        u"1100", u"1099", u"1098"};

// Bodies at the edges of what the server messages allow: missing fields, fields out of range,
// prefixes alone, separators only.
const char16_t *const kEdgeMessages[] = {
    u"0010",
    u"0010<cz>",
    u"0010<zg>",
    u"0010<zg>|||",
    u"0010<zg>0|0|0|x",
    u"0010<CZ>中国",
    u"0010 <cz>中国",
    u"0011",
    u"00110",
    u"00111",
    u"0011\u4E2D",
    u"0100",
    u"01000",
    u"010011",
    u"01000|||",
    u"010011| | |",
    u"0009",
    u"0009 ",
    u"0009不限制 ",
    u"0009|",
    u"0008",
    u"00085",
    u"0008|",
    u"0008abc|x",
    u"000899999|5",
    u"0008-40000|3",
    u"00082.5|0.5",
    u"00080|32767",
    u"00081|-1|9",
    u"0099",
    u"0099<b>粗</b>&amp;<img src=x>",
    u"009",
    u"0",
};

// Characters of the random bodies: separators, digits, prefixes' letters, blanks, Chinese.
const QString &bodyAlphabet()
{
    static const QString alphabet =
        QStringLiteral("0123456789||||  <>czg-.abcxyz的一是在不了有和人这中大为上个国我以要"
                       "他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后"
                       "\u3000\t\r\n");
    return alphabet;
}

bool isLead(quint8 byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

bool isTrail(quint8 byte)
{
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// True when the bytes, walked from their start as a GBK decoder does, end with the first byte
// of a two-byte character.
bool endsInsideCharacter(const QByteArray &bytes)
{
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (!isLead(quint8(bytes.at(i)))) {
            ++i;
        } else if (i + 1 == bytes.size()) {
            return true;
        } else {
            i += isTrail(quint8(bytes.at(i + 1))) ? 2 : 1;
        }
    }
    return false;
}

QByteArray wire(const QString &text)
{
    return gbk::encode(text).bytes;
}

} // namespace

qsizetype HostileStream::Burst::size() const
{
    qsizetype total = 0;
    for (const Write &write : writes)
        total += write.bytes.size();
    return total;
}

HostileStream::HostileStream(quint32 seed, quint32 client)
{
    const quint32 seeds[] = {seed, client, 0x686F7374u};
    m_random = QRandomGenerator(seeds, qsizetype(std::size(seeds)));
}

QString HostileStream::randomText(int length)
{
    const QString &alphabet = bodyAlphabet();
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += alphabet.at(m_random.bounded(int(alphabet.size())));
    return text;
}

QByteArray HostileStream::randomMessage()
{
    QString code;
    switch (m_random.bounded(4)) {
    case 0:
    case 1:
        code = QString::fromUtf16(kServerCodes[m_random.bounded(int(std::size(kServerCodes)))]);
        break;
    case 2:
        code = QString::fromUtf16(kClientCodes[m_random.bounded(int(std::size(kClientCodes)))]);
        break;
    default:
        // Random digits, sometimes fewer than four.
        for (int i = 0, n = 1 + m_random.bounded(4); i < n; ++i)
            code += QChar(u'0' + m_random.bounded(10));
        break;
    }
    return wire(code + randomText(m_random.bounded(81)));
}

QByteArray HostileStream::edgeMessage()
{
    return wire(QString::fromUtf16(kEdgeMessages[m_random.bounded(int(std::size(kEdgeMessages)))]));
}

QByteArray HostileStream::rawBytes()
{
    QByteArray bytes(1 + m_random.bounded(300), '\0');
    for (char &byte : bytes)
        byte = char(m_random.bounded(256));
    return bytes;
}

QByteArray HostileStream::longText()
{
    const int length = kTextLimit + 1 + m_random.bounded(kLongestText - kTextLimit);
    static const QString prefixes[] = {QStringLiteral("0010"), QStringLiteral("0010<cz>"),
                                       QStringLiteral("0099")};
    const QString &prefix = prefixes[m_random.bounded(3)];
    static const QString characters = QStringLiteral("中国人民学习的是在不了有和这大为上个我以要");
    QString text = prefix;
    text.reserve(prefix.size() + length);
    for (int i = 0; i < length; ++i) {
        // Blanks now and then make words of a "<cz>" text.
        if (m_random.bounded(5) == 0)
            text += u' ';
        else
            text += characters.at(m_random.bounded(int(characters.size())));
    }
    return wire(text);
}

HostileStream::Burst HostileStream::next()
{
    Burst burst;
    // The stream of the burst and the places where it must be cut (after a lone lead byte).
    QByteArray stream;
    QList<qsizetype> forcedCuts;
    bool longTextDone = false;
    const int itemCount = 1 + m_random.bounded(5);
    for (int item = 0; item < itemCount; ++item) {
        const int roll = m_random.bounded(100);
        if (roll < 4 && !longTextDone) {
            longTextDone = true;
            stream += longText();
            burst.items << QLatin1String(kLongText);
        } else if (roll < 44) {
            const QByteArray message = randomMessage();
            stream += message;
            burst.items << QLatin1String(kRandomMessage);
        } else if (roll < 64) {
            stream += edgeMessage();
            burst.items << QLatin1String(kEdgeMessage);
        } else if (roll < 82) {
            stream += rawBytes();
            burst.items << QLatin1String(kRawBytes);
        } else {
            // The lead byte ends one write; the next write starts with a code, whose digits are
            // no trail byte.
            stream += wire(QStringLiteral("0099") + randomText(m_random.bounded(20)));
            stream += char(0x81 + m_random.bounded(0xFE - 0x81 + 1));
            forcedCuts << stream.size();
            stream += wire(QString::fromUtf16(kServerCodes[m_random.bounded(6)]) +
                           randomText(m_random.bounded(20)));
            burst.items << QLatin1String(kLoneLeadByte);
        }
    }
    if (endsInsideCharacter(stream))
        stream += '@';

    // Random cuts anywhere, inside characters included, plus the forced ones.
    QList<qsizetype> cuts = forcedCuts;
    for (int i = 0, n = m_random.bounded(4); i < n && stream.size() > 1; ++i)
        cuts << 1 + m_random.bounded(int(stream.size() - 1));
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    cuts << stream.size();
    qsizetype from = 0;
    for (qsizetype cut : std::as_const(cuts)) {
        if (cut <= from)
            continue;
        Write write{stream.mid(from, cut - from), 0};
        // A pause of 0 lets the pieces join on the way; a forced cut gets a pause long enough
        // that the piece after it most likely arrives on its own.
        if (forcedCuts.contains(cut))
            write.pauseAfterMs = 20 + m_random.bounded(kMaxPauseMs - 20 + 1);
        else if (m_random.bounded(3) != 0)
            write.pauseAfterMs = m_random.bounded(kMaxPauseMs + 1);
        burst.writes << write;
        from = cut;
    }
    return burst;
}
