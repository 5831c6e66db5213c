// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/CodeTables.h"

#include "core/AppPaths.h"
#include "core/Gbk.h"
#include "core/MainControls.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {

const QString kWubiPart = QStringLiteral("五笔编码：");
const QString kPinyinPart = QStringLiteral("拼音编码：");
const QString kFourBlanks = QStringLiteral("    ");

// Disables the top panel while the tables load and enables it again however the loading ends.
class PanelLock
{
public:
    explicit PanelLock(ControlModel *panel)
        : m_panel(panel)
    {
        if (m_panel)
            m_panel->setEnabled(false);
    }
    ~PanelLock()
    {
        if (m_panel)
            m_panel->setEnabled(true);
    }
    PanelLock(const PanelLock &) = delete;
    PanelLock &operator=(const PanelLock &) = delete;

private:
    ControlModel *m_panel;
};

// The whole file decoded from GBK, or the empty text when it cannot be read: a missing table
// is an empty table.
QString readGbkFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return gbk::decode(file.readAll());
}

// Walks the lines of a text. A line ends with CR LF, LF or a lone CR; a last line without an
// end still counts, and an end at the very end of the text starts no further line.
class LineReader
{
public:
    explicit LineReader(const QString &text)
        : m_text(text)
    {}

    bool next(QStringView &line)
    {
        const qsizetype size = m_text.size();
        if (m_pos >= size)
            return false;
        const QChar *data = m_text.constData();
        qsizetype end = m_pos;
        while (end < size && data[end] != u'\r' && data[end] != u'\n')
            ++end;
        line = QStringView(data + m_pos, end - m_pos);
        if (end < size && data[end] == u'\r' && end + 1 < size && data[end + 1] == u'\n')
            ++end;
        m_pos = end + 1;
        return true;
    }

private:
    const QString &m_text;
    qsizetype m_pos = 0;
};

// Splits a line at its commas into at most `count` leading fields; missing fields stay empty
// and the fields after them are dropped.
template <size_t N> std::array<QString, N> leadingFields(QStringView line)
{
    std::array<QString, N> fields;
    qsizetype start = 0;
    for (size_t i = 0; i < N; ++i) {
        const qsizetype comma = line.indexOf(u',', start);
        if (comma < 0) {
            fields[i] = line.mid(start).toString();
            break;
        }
        fields[i] = line.mid(start, comma - start).toString();
        start = comma + 1;
    }
    return fields;
}

} // namespace

CodeTables::CodeTables(MainControls &ui, const AppPaths &paths)
    : m_ui(ui)
    , m_paths(paths)
{}

void CodeTables::ReadBM()
{
    const PanelLock lock(m_ui.Ptop);
    m_wbTable.clear();
    m_wbCount = 0;
    m_czWord.clear();
    m_czCode.clear();

    const AppPaths &paths = m_paths;

    // The row count grows with each row, so a handler that runs while the events are let
    // through sees a consistent, partly loaded table.
    const QString wb = readGbkFile(paths.dataFile(QStringLiteral("wb.dat")));
    m_wbTable.reserve(kMaxRows);
    LineReader wbLines(wb);
    QStringView line;
    while (m_wbCount < kMaxRows && wbLines.next(line)) {
        m_wbTable.append(leadingFields<4>(line));
        ++m_wbCount;
        QCoreApplication::processEvents();
    }

    const QString cz = readGbkFile(paths.dataFile(QStringLiteral("wbcz.dat")));
    LineReader czLines(cz);
    while (czLines.next(line)) {
        const auto fields = leadingFields<2>(line);
        m_czCode.append(fields[0]);
        m_czWord.append(fields[1]);
        QCoreApplication::processEvents();
    }
}

QString CodeTables::FindWord(const QString &iStr) const
{
    QString wubi = kWubiPart;
    QString pinyin = kPinyinPart;
    for (int r = 0; r < m_wbCount; ++r) {
        const Row &row = m_wbTable[r];
        if (row[0] != iStr)
            continue;
        wubi += row[1].toUpper() + u' ';
        pinyin += row[3];
    }
    return wubi + kFourBlanks + pinyin;
}

QString CodeTables::FindCz(const QString &iStr) const
{
    const qsizetype i = m_czWord.indexOf(iStr);
    if (i < 0)
        return kWubiPart;
    return kWubiPart + m_czCode[i].toUpper() + u' ';
}

CodeTables::Codes CodeTables::codesOf(const QString &iStr) const
{
    Codes codes;
    for (int r = 0; r < m_wbCount; ++r) {
        const Row &row = m_wbTable[r];
        if (row[0] != iStr)
            continue;
        if (const QString wubi = row[1].toUpper(); !wubi.isEmpty() && !codes.wubi.contains(wubi))
            codes.wubi << wubi;
        if (!row[3].isEmpty() && !codes.pinyin.contains(row[3]))
            codes.pinyin << row[3];
        if (codes.roots.isEmpty())
            codes.roots = row[2];
    }
    return codes;
}

QString CodeTables::rootField(const QString &iStr) const
{
    for (int r = 0; r < m_wbCount; ++r) {
        if (m_wbTable[r][0] == iStr)
            return m_wbTable[r][2];
    }
    return {};
}
