// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/Protocol.h"

#include <QString>

// What the console believes of a report. A report that no client can send (no number, negative
// counters, more right than typed, an identity longer than any dialog takes) is refused: logged
// and ignored. A report a client can send but a typist cannot reach is taken, stored and
// marked (StudentRow::Flag), and the summary leaves the row out.
//
// The bound on speed: at most kMaxCommit right characters at once plus kMaxRate a second. An
// input method commits a word or a whole phrase at once, so the first seconds may show a burst
// (a 20-character sentence of whole-sentence Pinyin 1 s into the test is 1200 characters a
// minute and honest); past that, 10 characters a second (600 a minute) is about twice what the
// fastest professional typists keep up with an input method, and far beyond a classroom.
namespace reportcheck {

inline constexpr int kMaxCommit = 30;
inline constexpr int kMaxRate = 10;
// Longest student number, name or class accepted.
inline constexpr int kMaxIdentity = 32;

// Why the report is refused; empty when it is taken.
QString refusal(const protocol::Report &report, bool end);
// The figure marks of a report (StudentRow::Flag). expectedLength: the characters of the text
// the student was given, -1 when unknown; previousTime: the seconds of the attempt's report
// before, -1 when this is its first.
int flags(const protocol::Report &report, int expectedLength, int previousTime);

// Text from the network as the console shows and logs it: control characters (C0, DEL, C1,
// the bidirectional overrides and the line separators) replaced by U+FFFD.
QString clean(const QString &text);
// A report with its texts cleaned.
protocol::Report cleaned(protocol::Report report);

} // namespace reportcheck
