// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/RootTable.h"

#include "core/Gbk.h"

#include <QFile>

namespace {

constexpr QChar kUndecodable = QChar(0xFFFD);

// Blanks only, as the file format defines them: tabs and other white space are roots.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

QString rootTableMissingText()
{
    // The seven trailing blanks are part of the client's established message.
    return QStringLiteral("读取文件错误,可能是文件已丢失!       ");
}

RootTable::Load RootTable::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {RootTable(), rootTableMissingText(), false};
    // More than 25 lines are never used; a file far larger than any root table is cut rather
    // than read whole into memory.
    constexpr qint64 kMaxBytes = 1 << 20;
    const QByteArray bytes = file.read(kMaxBytes);
    if (file.error() != QFileDevice::NoError)
        return {RootTable(), rootTableMissingText(), false};
    return parse(bytes);
}

RootTable::Load RootTable::parse(const QByteArray &bytes)
{
    Load result;
    QList<int> damaged;
    int row = 0;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size && row < kRows) {
        qsizetype end = start;
        while (end < size && bytes.at(end) != '\r' && bytes.at(end) != '\n')
            ++end;
        QString line = gbk::decode(bytes.mid(start, end - start));
        if (line.contains(kUndecodable)) {
            damaged << row + 1;
            line.remove(kUndecodable);
        }
        result.table.setRow(row, trimBlanks(line.left(1)), trimBlanks(line.mid(1)));
        ++row;
        if (end < size && bytes.at(end) == '\r' && end + 1 < size && bytes.at(end + 1) == '\n')
            ++end;
        start = end + 1;
    }
    if (!damaged.isEmpty()) {
        QStringList lines;
        for (int n : damaged)
            lines << QString::number(n);
        result.warning =
            QStringLiteral("字根表文件86zg.dat第%1行含有无法识别的字符，这些字符已略去。")
                .arg(lines.join(u'、'));
    }
    return result;
}

QString RootTable::key(int row) const
{
    return row >= 0 && row < kRows ? m_keys[row] : QString();
}

QString RootTable::roots(int row) const
{
    return row >= 0 && row < kRows ? m_roots[row] : QString();
}

void RootTable::setRow(int row, const QString &key, const QString &roots)
{
    if (row < 0 || row >= kRows)
        return;
    m_keys[row] = key;
    m_roots[row] = roots;
}

bool RootTable::isEmpty() const
{
    for (const QString &roots : m_roots) {
        if (!roots.isEmpty())
            return false;
    }
    return true;
}

std::optional<QString> RootTable::keyOf(QChar root) const
{
    for (int row = 0; row < kRows; ++row) {
        if (m_roots[row].contains(root))
            return m_keys[row];
    }
    return std::nullopt;
}

std::optional<QString> RootTable::pool(int zone) const
{
    if (zone > kZones)
        return std::nullopt;
    QString pool;
    if (zone < 1) {
        for (int row = kRows - 1; row >= 0; --row)
            pool += m_roots[row];
    } else {
        for (int row = kRowsPerZone * (zone - 1); row < kRowsPerZone * zone; ++row)
            pool += m_roots[row];
    }
    return pool;
}
