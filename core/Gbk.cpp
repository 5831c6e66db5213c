// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Gbk.h"

#include <QtEndian>

#include <cerrno>
#include <iconv.h>

namespace gbk {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char *kUtf16 = "UTF-16LE";
#else
constexpr const char *kUtf16 = "UTF-16BE";
#endif

// The byte structure of GBK: 0x00-0x7F are ASCII, 0x80 is the euro sign of code page 936,
// 0x81-0xFE lead a two-byte character whose second byte is 0x40-0x7E or 0x80-0xFE, and 0xFF
// never occurs. Knowing it lets us cut the input into whole characters ourselves and hand
// iconv long runs of them instead of one call per character.
bool isLead(uchar b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool isTrail(uchar b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

// The length of the character that starts at data[i], or 0 when the byte there cannot start
// one (0xFF, or a lead byte without a valid second byte inside the data).
qsizetype unitLength(const uchar *data, qsizetype i, qsizetype size)
{
    const uchar b = data[i];
    if (b < 0x81)
        return 1;
    if (isLead(b) && i + 1 < size && isTrail(data[i + 1]))
        return 2;
    return 0;
}

// One pair of conversion descriptors per thread, opened on first use. The codec is used from
// the UI thread only, but a thread-local pair keeps it safe if a worker ever decodes a file.
class Converters
{
public:
    static Converters &instance()
    {
        thread_local Converters converters;
        return converters;
    }

    iconv_t toUnicode = invalid();
    iconv_t fromUnicode = invalid();

    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

private:
    Converters()
        : toUnicode(iconv_open(kUtf16, "GBK"))
        , fromUnicode(iconv_open("GBK", kUtf16))
    {}
    ~Converters()
    {
        if (toUnicode != invalid())
            iconv_close(toUnicode);
        if (fromUnicode != invalid())
            iconv_close(fromUnicode);
    }
};

// Appends the decoding of a run of whole characters. A two-byte character that GBK leaves
// unassigned becomes one U+FFFD.
void convertRun(QString &out, const uchar *run, qsizetype size)
{
    const qsizetype start = out.size();
    out.resize(start + size); // never more than one UTF-16 unit per byte
    char16_t *const outBegin = reinterpret_cast<char16_t *>(out.data()) + start;
    char16_t *outPos = outBegin;

    iconv_t cd = Converters::instance().toUnicode;
    qsizetype i = 0;
    while (i < size) {
        if (cd != Converters::invalid()) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            char *in = const_cast<char *>(reinterpret_cast<const char *>(run + i));
            size_t inLeft = size_t(size - i);
            char *outBytes = reinterpret_cast<char *>(outPos);
            size_t outLeft = size_t(size - i) * sizeof(char16_t);
            const size_t rc = iconv(cd, &in, &inLeft, &outBytes, &outLeft);
            outPos = reinterpret_cast<char16_t *>(outBytes);
            i = size - qsizetype(inLeft);
            if (rc != size_t(-1))
                break;
        }
        // The character at i could not be converted.
        *outPos++ = kReplacement;
        i += qMax<qsizetype>(1, unitLength(run, i, size));
    }
    out.resize(start + (outPos - outBegin));
}

void decodeInto(QString &out, const uchar *data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size) {
        qsizetype j = i;
        while (j < size && data[j] < 0x80)
            ++j;
        if (j > i) {
            out.append(QLatin1StringView(reinterpret_cast<const char *>(data + i), j - i));
            i = j;
            continue;
        }
        while (j < size && data[j] >= 0x80) {
            const qsizetype length = unitLength(data, j, size);
            if (length == 0)
                break;
            j += length;
        }
        if (j > i) {
            convertRun(out, data + i, j - i);
            i = j;
        } else {
            out.append(QChar(kReplacement));
            ++i;
        }
    }
}

void noteUnencodable(QString &list, QStringView character)
{
    if (!list.contains(character))
        list.append(character);
}

// Appends the encoding of a run of non-ASCII UTF-16 units; what GBK cannot hold is left out,
// or written as "?" when `replace` is set.
void encodeRun(Encoded &result, const char16_t *run, qsizetype size, bool replace)
{
    QByteArray &bytes = result.bytes;
    const qsizetype start = bytes.size();
    bytes.resize(start + size * 2); // at most two bytes per unit
    char *outPos = bytes.data() + start;

    iconv_t cd = Converters::instance().fromUnicode;
    qsizetype i = 0;
    while (i < size) {
        if (cd != Converters::invalid()) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            char *in = const_cast<char *>(reinterpret_cast<const char *>(run + i));
            size_t inLeft = size_t(size - i) * sizeof(char16_t);
            size_t outLeft = size_t(bytes.data() + bytes.size() - outPos);
            const size_t rc = iconv(cd, &in, &inLeft, &outPos, &outLeft);
            i = size - qsizetype(inLeft / sizeof(char16_t));
            if (rc != size_t(-1))
                break;
        }
        // The character at i has no GBK code (or is a lone surrogate).
        qsizetype length = 1;
        if (QChar::isHighSurrogate(run[i]) && i + 1 < size && QChar::isLowSurrogate(run[i + 1]))
            length = 2;
        noteUnencodable(result.unencodable,
                        QStringView(reinterpret_cast<const QChar *>(run + i), length));
        if (replace)
            *outPos++ = '?';
        i += length;
    }
    bytes.resize(outPos - bytes.data());
}

} // namespace

Encoded encode(const QString &text, Unencodable unencodable)
{
    Encoded result;
    result.bytes.reserve(text.size() * 2);
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype j = i;
        while (j < size && data[j] < 0x80)
            ++j;
        for (qsizetype k = i; k < j; ++k)
            result.bytes.append(char(data[k]));
        i = j;
        while (j < size && data[j] >= 0x80)
            ++j;
        if (j > i) {
            encodeRun(result, data + i, j - i, unencodable == Unencodable::Replace);
            i = j;
        }
    }
    return result;
}

QString decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    decodeInto(out, reinterpret_cast<const uchar *>(bytes.constData()), bytes.size());
    return out;
}

bool completesLead(const QByteArray &piece)
{
    return !piece.isEmpty() && isTrail(uchar(piece.front()));
}

QString StreamDecoder::decode(const QByteArray &piece)
{
    if (piece.isEmpty())
        return {}; // nothing arrived: a held byte keeps waiting
    // A held lead byte goes with this piece only when the piece completes it; otherwise it
    // stays for flush(), which gives it to the piece it came with.
    QByteArray data;
    if (!m_pending.isEmpty() && completesLead(piece)) {
        data = m_pending + piece;
        m_pending.clear();
    } else {
        data = piece;
    }
    const QByteArray lone = m_pending;
    m_pending.clear();
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    const qsizetype size = data.size();

    // Walk the characters from the start: only a lead byte that is the last byte of the data
    // once the walk reaches it may belong to the next piece. Looking at the last byte alone
    // would mistake a second byte in 0x81-0xFE for a lead.
    qsizetype i = 0;
    while (i < size) {
        if (isLead(bytes[i]) && i + 1 == size)
            break;
        i += qMax<qsizetype>(1, unitLength(bytes, i, size));
    }
    QString out;
    // A lone byte the caller did not flush is decoded where it stood, ahead of this piece.
    if (!lone.isEmpty())
        out = gbk::decode(lone);
    out.reserve(out.size() + i);
    decodeInto(out, bytes, i);
    if (i < size)
        m_pending = data.mid(i);
    return out;
}

QString StreamDecoder::flush()
{
    const QString rest = gbk::decode(m_pending);
    m_pending.clear();
    return rest;
}

} // namespace gbk
