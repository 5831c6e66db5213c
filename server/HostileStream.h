// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

// The bytes of the hostile mode: what a broken or malicious server could send a client. Each
// burst is a few items joined into one stream and cut into writes at random places, with short
// random pauses between the writes (a pause of 0 lets the network join them). Items:
//   - random message: a server code, a client code or random digits, with a random body;
//   - edge message: a real server message with a body at the edge of what it allows;
//   - raw bytes: anything from 0x00 to 0xFF, invalid GBK included;
//   - lone lead byte: a message that ends in the first byte of a two-byte GBK character, cut
//     there, and a message that starts with a code in the next write;
//   - long text: a "0010" (plain or "<cz>") or "0099" message of more than 32767 characters.
// The same seed gives the same bursts. A burst never ends inside a two-byte character (walking
// from its start), so what follows the hostile period starts on a clean boundary.
class HostileStream
{
public:
    struct Write
    {
        QByteArray bytes;
        int pauseAfterMs = 0;
    };
    struct Burst
    {
        QList<Write> writes;
        QStringList items; // the kind of each item, in order
        qsizetype size() const;
    };

    // Item kinds, for the burst descriptions and the tests.
    static constexpr char kRandomMessage[] = "random message";
    static constexpr char kEdgeMessage[] = "edge message";
    static constexpr char kRawBytes[] = "raw bytes";
    static constexpr char kLoneLeadByte[] = "lone lead byte";
    static constexpr char kLongText[] = "long text";

    // The longest test text a client takes; long texts are longer.
    static constexpr int kTextLimit = 32767;
    static constexpr int kLongestText = 40000;
    // The largest burst: a long text of two-byte characters plus a few short items.
    static constexpr qsizetype kMaxBurstBytes = 2 * kLongestText + 4096;
    static constexpr int kMaxPauseMs = 40;

    // Client number and seed together pick the stream, so every client of one run gets a
    // different one and a run can be repeated.
    HostileStream(quint32 seed, quint32 client);

    Burst next();

private:
    QByteArray randomMessage();
    QByteArray edgeMessage();
    QByteArray rawBytes();
    QByteArray longText();
    QString randomText(int length);

    QRandomGenerator m_random;
};
