// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/MessageSplitter.h"

#include "net/Protocol.h"

#include <QSet>

namespace {

constexpr qsizetype kNoMessage = 0;
constexpr qsizetype kIncomplete = -1;

const QStringList &replyCodes()
{
    static const QStringList codes = {
        QString::fromUtf16(protocol::kStartRequest), QString::fromUtf16(protocol::kTextLoaded),
        QString::fromUtf16(protocol::kInputMethodsDone), QString::fromUtf16(protocol::kTimingDone),
        QString::fromUtf16(protocol::kDuplicateAnswered)};
    return codes;
}

const QString &progressCode()
{
    static const QString code = QString::fromUtf16(protocol::kProgressReport);
    return code;
}

const QString &endCode()
{
    static const QString code = QString::fromUtf16(protocol::kEndReport);
    return code;
}

bool isCodePrefix(QStringView tail)
{
    for (const QString &code : replyCodes() + QStringList{progressCode(), endCode()}) {
        if (code.startsWith(tail))
            return true;
    }
    return false;
}

// A counter as the client writes it: decimal, no leading zeros, a minus sign when negative. The
// missing leading zeros matter: an end report's last counter "0" followed by "1009" must not
// read as the counter "01009".
bool isCounterText(QStringView field)
{
    if (field.startsWith(u'-'))
        field = field.mid(1);
    if (field.isEmpty() || field.size() > 5)
        return false;
    if (field.size() > 1 && field.front() == u'0')
        return false;
    for (QChar c : field) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

qsizetype messageLength(const QString &text, qsizetype pos, int depth);

// The length of the report at `pos` with `fieldCount` fields, kIncomplete when the text ends
// inside its fixed fields, kNoMessage when no report of that shape starts there.
qsizetype reportLength(const QString &text, qsizetype pos, qsizetype fieldCount, int depth)
{
    const bool progress = fieldCount == 12;
    qsizetype fieldStart = pos + 5; // after the code and its separator
    if (text.size() < fieldStart)
        return kIncomplete;
    if (text.at(pos + 4) != u'|')
        return kNoMessage;
    // Fields 2 to fieldCount - 1 each end with a separator; counters are fields 5 to 9.
    for (qsizetype field = 2; field < fieldCount; ++field) {
        const qsizetype limit = std::min(text.size(), pos + MessageSplitter::kMaxReportLength);
        const qsizetype separator = text.indexOf(u'|', fieldStart);
        if (separator < 0 || separator >= limit) {
            if (limit == text.size() && text.size() - pos < MessageSplitter::kMaxReportLength) {
                const bool counter = field >= 5 && field <= 9;
                const qsizetype partial = text.size() - fieldStart;
                if (counter && partial > 6)
                    return kNoMessage;
                return kIncomplete;
            }
            return kNoMessage;
        }
        if (field >= 5 && field <= 9 &&
            !isCounterText(QStringView(text).mid(fieldStart, separator - fieldStart)))
            return kNoMessage;
        fieldStart = separator + 1;
    }

    // The last field: error characters (distinct, no separator) or the backspace counter.
    qsizetype longest = fieldStart;
    QSet<QChar> seen;
    while (longest < text.size() && longest - pos < MessageSplitter::kMaxReportLength) {
        const QChar c = text.at(longest);
        if (c == u'|')
            break;
        if (progress) {
            if (seen.contains(c))
                break;
            seen.insert(c);
        } else if (!(c >= u'0' && c <= u'9') && !(c == u'-' && longest == fieldStart)) {
            break;
        }
        ++longest;
    }
    // An end report whose last separator is the last character read so far is still arriving.
    if (!progress && fieldStart == text.size())
        return kIncomplete;
    const qsizetype shortest = progress ? fieldStart : fieldStart + 1;
    // First choice: an end after which whole messages follow; second: one after which a
    // message has begun to arrive.
    for (const bool acceptUnfinished : {false, true}) {
        for (qsizetype end = longest; end >= shortest; --end) {
            if (!progress && !isCounterText(QStringView(text).mid(fieldStart, end - fieldStart)))
                continue;
            if (depth <= 0) {
                if (end == text.size() || text.at(end) == u'1')
                    return end - pos;
                continue;
            }
            const qsizetype next = end == text.size() ? 1 : messageLength(text, end, depth - 1);
            if (next > 0 || (acceptUnfinished && next == kIncomplete))
                return end - pos;
        }
    }
    // Nothing readable follows: the longest reading stands and what follows is left over.
    if (longest >= shortest &&
        (progress || isCounterText(QStringView(text).mid(fieldStart, longest - fieldStart))))
        return longest - pos;
    return kNoMessage;
}

qsizetype messageLength(const QString &text, qsizetype pos, int depth)
{
    const QStringView tail = QStringView(text).mid(pos);
    if (tail.size() < 4)
        return !tail.isEmpty() && isCodePrefix(tail) ? kIncomplete : kNoMessage;
    const QStringView code = tail.left(4);
    if (replyCodes().contains(code)) {
        if (depth <= 0 || pos + 4 == text.size() ||
            messageLength(text, pos + 4, depth - 1) != kNoMessage)
            return 4;
        return kNoMessage;
    }
    if (code == progressCode())
        return reportLength(text, pos, 12, depth);
    if (code == endCode())
        return reportLength(text, pos, 9, depth);
    return kNoMessage;
}

} // namespace

MessageSplitter::Result MessageSplitter::split(const QString &text)
{
    // Two messages of look-ahead tell a report's last field from the start of the next one.
    constexpr int kLookAhead = 2;
    Result result;
    qsizetype pos = 0;
    qsizetype garbageStart = -1;
    auto closeGarbage = [&](qsizetype end) {
        if (garbageStart >= 0) {
            result.messages << text.mid(garbageStart, end - garbageStart);
            result.recognised << false;
            garbageStart = -1;
        }
    };
    while (pos < text.size()) {
        const qsizetype length = messageLength(text, pos, kLookAhead);
        if (length == kIncomplete) {
            closeGarbage(pos);
            result.rest = text.mid(pos);
            return result;
        }
        if (length == kNoMessage) {
            if (garbageStart < 0)
                garbageStart = pos;
            // Every message starts with "1": skip straight to the next candidate.
            const qsizetype next = text.indexOf(u'1', pos + 1);
            pos = next < 0 ? text.size() : next;
            continue;
        }
        closeGarbage(pos);
        result.messages << text.mid(pos, length);
        result.recognised << true;
        pos += length;
    }
    closeGarbage(pos);
    return result;
}
