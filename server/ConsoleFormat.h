// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/Protocol.h"

#include <QString>

// The lines the server tool prints for the teacher.
namespace consoleformat {

// "31 李明 三班 @PC07 | 65 s | 300 chars, typed 120, right 118, backspaces 3 | 108.9 chars/min,
// accuracy 98% | errors: 的是 | IME: 英语（美国）"; an end report starts with "*** END ***" and has
// no computer, errors or input method (the client does not send them).
QString report(const protocol::Report &report, bool end);
// Speed in right characters per minute as the student's window writes it; "-" before the
// first second.
QString speed(const protocol::Report &report);
// Accuracy in percent as the student's window writes it; "-" before the first character typed.
QString accuracy(const protocol::Report &report);
// Long or unprintable text shown on one line: control characters as \xNN (\uNNNN for the
// bidirectional overrides and line separators), cut after `limit`.
QString printable(const QString &text, qsizetype limit = 200);

} // namespace consoleformat
