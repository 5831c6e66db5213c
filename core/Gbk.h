// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

// GBK (code page 936): the encoding of the settings file, the data files and the wire.
namespace gbk {

struct Encoded
{
    QByteArray bytes;
    QString unencodable; // each character GBK cannot hold, once, in order; it is left out of bytes
    bool ok() const { return unencodable.isEmpty(); }
};

enum class Unencodable { LeaveOut, Replace };
// Encodes text. Characters GBK cannot hold are listed in `unencodable` and left out, or
// written as "?" (the way code page 936 converters write them) with Unencodable::Replace.
Encoded encode(const QString &text, Unencodable unencodable = Unencodable::LeaveOut);

// Decodes a complete byte string. Each byte that does not start a valid GBK character
// becomes U+FFFD, and so does a two-byte character that GBK leaves unassigned; decoding
// never fails. 0x80 is the euro sign, as in code page 936.
QString decode(const QByteArray &bytes);

// True when the piece begins with a byte that can complete a held lead byte.
bool completesLead(const QByteArray &piece);

// Decodes a stream that arrives in pieces. A lead byte that ends a piece (found by walking the
// piece's characters from its start) is held back: a next piece that begins with a byte
// completing it takes it, so a character split across two reads is not lost. A next piece
// that does not complete it must not start with it: the caller flushes the lone byte into the
// piece it came with (as U+FFFD) before decoding the next one; a byte left unflushed is
// decoded as U+FFFD in front of the next piece. Either way the pieces' texts joined are the
// text of the joined pieces.
class StreamDecoder
{
public:
    QString decode(const QByteArray &piece);
    // Decodes what is still held back (a lone lead byte becomes U+FFFD) and empties it.
    QString flush();
    bool hasPending() const { return !m_pending.isEmpty(); }

private:
    QByteArray m_pending;
};

} // namespace gbk
