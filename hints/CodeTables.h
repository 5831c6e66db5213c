// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class AppPaths;
class MainControls;

// The character table (wb.dat) and the word table (wbcz.dat), loaded once at start-up.
class CodeTables
{
public:
    static constexpr int kMaxRows = 12000;
    using Row = std::array<QString, 4>; // character, Wubi code, root numbers, Pinyin

    CodeTables(MainControls &ui, const AppPaths &paths);

    // Loads both files from the client's folder; the top panel is disabled meanwhile and
    // waiting events run after every line. Missing files leave their table empty.
    void ReadBM();

    // Hint text of one character: "五笔编码：" codes, four blanks, "拼音编码：" Pinyin.
    QString FindWord(const QString &iStr) const;
    // Hint text of one word: "五笔编码：" and, when found, the first entry's code and a blank.
    QString FindCz(const QString &iStr) const;
    // Root field of the first row of the character, or the empty text.
    QString rootField(const QString &iStr) const;

    // What the tables say of one character, field by field: its Wubi codes in capitals and its
    // Pinyin readings, each list without repeats and in the tables' order, and its root field.
    struct Codes
    {
        QStringList wubi;
        QStringList pinyin;
        QString roots;
    };
    Codes codesOf(const QString &iStr) const;

    int wbCount() const { return m_wbCount; }
    const QVector<Row> &wbTable() const { return m_wbTable; }
    const QStringList &czWord() const { return m_czWord; }
    const QStringList &czCode() const { return m_czCode; }

private:
    MainControls &m_ui;
    const AppPaths &m_paths;
    QVector<Row> m_wbTable;
    int m_wbCount = 0;
    QStringList m_czWord;
    QStringList m_czCode;
};
