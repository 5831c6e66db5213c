// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The GBK stream decoder fed arrivals cut anywhere, the way the socket feeds it: the texts of
// the arrivals joined are the text of all bytes decoded at once, whether a lone lead byte is
// flushed into its own arrival (as the socket does) or left to the next one.
#include "core/Gbk.h"
#include "fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const bool flushLoneBytes = input.byte() & 1;
    QByteArray all;
    QString joined;
    gbk::StreamDecoder decoder;
    while (!input.atEnd()) {
        const QByteArray piece = input.piece();
        if (flushLoneBytes && decoder.hasPending() && !piece.isEmpty() &&
            !gbk::completesLead(piece))
            joined += decoder.flush();
        joined += decoder.decode(piece);
        all += piece;
    }
    joined += decoder.flush();
    if (joined != gbk::decode(all))
        abort();
    // Encoding what was decoded never fails with replacement, and gives no byte 0xFF.
    const gbk::Encoded encoded = gbk::encode(joined, gbk::Unencodable::Replace);
    if (encoded.bytes.contains('\xff'))
        abort();
    return 0;
}
