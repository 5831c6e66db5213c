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

// Encodes text. Characters GBK cannot hold are left out and listed in `unencodable`.
Encoded encode(const QString &text);

// Decodes a complete byte string. Each byte that does not start a valid GBK character
// becomes U+FFFD, and so does a two-byte character that GBK leaves unassigned; decoding
// never fails. 0x80 is the euro sign, as in code page 936.
QString decode(const QByteArray &bytes);

// Decodes a stream that arrives in pieces. A lead byte that ends a piece (found by walking the
// piece's characters from its start) is kept and decoded together with the next piece, so a
// character split across two reads is not lost. Decoding in pieces gives the same text as
// decoding the joined pieces at once.
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
