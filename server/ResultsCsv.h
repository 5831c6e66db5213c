// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/StudentRow.h"
#include "server/TestSetup.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The results of a test as a CSV file: UTF-8 with a byte-order mark, so that spreadsheet
// programs open the Chinese names right; CRLF line ends; one line per student of the test
// (absent roster students included, dismissed duplicates left out) with the figures the result
// was finished with, else the last progress report's. The rows come from the results store.
namespace resultscsv {

// The last column is the grade against the test's pass mark (grades::of).
QByteArray build(const QList<StudentRow> &rows, int passSpeed = TestSetup::kDefaultPassSpeed,
                 int passAccuracy = TestSetup::kDefaultPassAccuracy);
// One field, quoted when it holds a separator, a quote or a line break. Text a spreadsheet
// would take for a formula (starting with =, +, -, @, tab or CR) gets a leading apostrophe:
// names come from the students' computers.
QString field(const QString &text);
// Writes the file into the folder (created when missing), replacing an older one whole or not
// at all. The error names the path.
Status write(const QString &path, const QList<StudentRow> &rows,
             int passSpeed = TestSetup::kDefaultPassSpeed,
             int passAccuracy = TestSetup::kDefaultPassAccuracy);

} // namespace resultscsv
