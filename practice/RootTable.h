// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The root table of root practice, read from 86zg.dat: 25 rows in the zone order of the Wubi 86
// keyboard (G F D S A, H J K L M, T R E W Q, Y U I O P, N B V C X), each a key letter and the
// roots that lie on that key.
class RootTable
{
public:
    static constexpr int kRows = 25;
    static constexpr int kZones = 5;
    static constexpr int kRowsPerZone = 5;

    // The outcome of reading the file: the table (empty rows where nothing could be read) and
    // what the student should be told about the file, if anything.
    struct Load;

    // Reads the file. A missing or unreadable file gives an empty table and a warning.
    static Load read(const QString &path);
    // Reads the file's bytes (GBK). Lines end at CR LF, a lone CR or a lone LF; lines after the
    // 25th are ignored. Bytes that are no GBK character are left out of their row and named
    // in the warning.
    static Load parse(const QByteArray &bytes);

    QString key(int row) const;   // "" for a row that is missing or out of range
    QString roots(int row) const; // "" for a row that is missing or out of range
    void setRow(int row, const QString &key, const QString &roots);
    bool isEmpty() const;

    // The key letter a root is answered with: that of the first row (lowest number) that
    // lists the root; nothing when no row does.
    std::optional<QString> keyOf(QChar root) const;

    // The roots to draw from: zone below 1 is every row, joined from row 24 down to row 0;
    // zones 1 to 5 are that zone's five rows in ascending order. Nothing above zone 5.
    std::optional<QString> pool(int zone) const;

private:
    std::array<QString, kRows> m_keys;
    std::array<QString, kRows> m_roots;
};

struct RootTable::Load
{
    RootTable table;
    QString warning;   // empty when the file was read as it is
    bool found = true; // false when there was no file to read
};

// The text of the warning for a root table file that is missing or cannot be read.
QString rootTableMissingText();
