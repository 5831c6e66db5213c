// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/ResultsStore.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// A class roster as spreadsheet programs save it: a CSV file in UTF-8 (with or without a
// byte-order mark), UTF-16 with a mark ("Unicode text") or GBK (what a Chinese Windows saves
// as "CSV"); fields separated by commas, semicolons or tabs, quoted as CSV quotes them. The
// columns are number, name, class and, optionally, computer, in this order, or in any order
// under a header line that names them (学号 姓名 班级 计算机, or number name class computer).
namespace rosterfile {

struct Roster
{
    QList<RosterEntry> entries;
    // Lines left out, each with its line number and why ("第5行：学号31重复").
    QStringList skipped;
};

// Longest file read, and most students taken.
inline constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
inline constexpr int kMaxStudents = 4000;

Roster parse(const QByteArray &bytes);
// Fails when the file cannot be read or holds no student.
Status read(const QString &path, Roster &roster);

} // namespace rosterfile
