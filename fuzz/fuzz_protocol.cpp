// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The wire protocol's parsers on any text a server may send or a client may report.
#include "core/Gbk.h"
#include "net/Protocol.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString message =
        gbk::decode(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString code = protocol::code(message);
    const QString body = protocol::body(message);
    // A message is its code and its body; a short one has no code.
    if (message.size() >= 4 && code + body != message)
        abort();
    if (message.size() < 4 && !code.isEmpty())
        abort();

    const protocol::TestText text = protocol::parseTestText(body);
    if (text.kind == protocol::TextKind::Words && text.text.size() > body.size())
        abort();
    (void)protocol::parseEnvironment(message);
    (void)protocol::isDuplicateLogin(message);
    (void)protocol::isUnrestricted(body);

    const protocol::Timing timing = protocol::parseTiming(body);
    // A sound body gives both values; the delay fits the 16-bit counters.
    if (timing.error.isEmpty() && (!timing.maxTime || !timing.hintDelay))
        abort();
    if (timing.hintDelay && (*timing.hintDelay < -32767 || *timing.hintDelay > 32767))
        abort();

    // A report read back is built again into a report that reads the same.
    for (const auto parse : {&protocol::parseProgressReport, &protocol::parseEndReport}) {
        const std::optional<protocol::Report> report = parse(message);
        if (!report)
            continue;
        const QString again = parse == &protocol::parseProgressReport
                                  ? protocol::progressReport(*report)
                                  : protocol::endReport(*report);
        const std::optional<protocol::Report> reread = parse(again);
        if (!reread || reread->totalTime != report->totalTime || reread->name != report->name ||
            reread->right != report->right || reread->errChars != report->errChars)
            abort();
    }
    return 0;
}
