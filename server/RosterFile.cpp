// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/RosterFile.h"

#include "core/Gbk.h"
#include "server/ReportCheck.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

namespace rosterfile {

namespace {

QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE).decode(bytes.mid(2));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return gbk::decode(bytes);
}

QChar separatorOf(const QString &text)
{
    const QString firstLine = text.section(u'\n', 0, 0);
    QChar best = u',';
    qsizetype most = 0;
    for (QChar candidate : {QChar(u','), QChar(u';'), QChar(u'\t')}) {
        const qsizetype count = firstLine.count(candidate);
        if (count > most) {
            most = count;
            best = candidate;
        }
    }
    return best;
}

// The records of a CSV text: fields in quotes may hold separators, quotes ("") and line breaks.
QList<QStringList> records(const QString &text, QChar separator)
{
    QList<QStringList> result;
    QStringList record;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = true;
            any = true;
        } else if (c == separator) {
            record << field;
            field.clear();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            if (any || !field.isEmpty()) {
                record << field;
                result << record;
            }
            record.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty()) {
        record << field;
        result << record;
    }
    return result;
}

int columnOf(const QString &title)
{
    const QString t = title.trimmed().toLower();
    if (t == u"学号" || t == u"编号" || t == u"number" || t == u"xuehao" || t == u"no" ||
        t == u"no.")
        return 0;
    if (t == u"姓名" || t == u"名字" || t == u"name")
        return 1;
    if (t == u"班级" || t == u"班" || t == u"class" || t == u"banji")
        return 2;
    if (t == u"计算机" || t == u"电脑" || t == u"机器" || t == u"机号" || t == u"计算机名" ||
        t == u"computer")
        return 3;
    return -1;
}

} // namespace

Roster parse(const QByteArray &bytes)
{
    Roster roster;
    const QString text = decode(bytes);
    const QList<QStringList> lines = records(text, separatorOf(text));
    // Where each of number, name, class and computer is.
    int columns[4] = {0, 1, 2, 3};
    qsizetype first = 0;
    if (!lines.isEmpty()) {
        int found[4] = {-1, -1, -1, -1};
        for (qsizetype i = 0; i < lines.first().size(); ++i) {
            const int column = columnOf(lines.first().at(i));
            if (column >= 0 && found[column] < 0)
                found[column] = int(i);
        }
        if (found[0] >= 0 && found[1] >= 0) {
            first = 1;
            for (int c = 0; c < 4; ++c)
                columns[c] = found[c];
        }
    }
    QSet<QString> numbers;
    for (qsizetype i = first; i < lines.size(); ++i) {
        const QStringList &fields = lines.at(i);
        const QString line = QStringLiteral("第%1行：").arg(i + 1);
        const auto value = [&fields](int column) {
            return column >= 0 ? reportcheck::clean(fields.value(column).trimmed()) : QString();
        };
        RosterEntry entry{value(columns[0]), value(columns[1]), value(columns[2]),
                          value(columns[3])};
        if (entry.xuehao.isEmpty() && entry.name.isEmpty())
            continue; // an empty line of the sheet
        if (entry.xuehao.isEmpty()) {
            roster.skipped << line + QStringLiteral("没有学号");
        } else if (entry.name.isEmpty()) {
            roster.skipped << line + QStringLiteral("学号%1没有姓名").arg(entry.xuehao);
        } else if (entry.xuehao.size() > reportcheck::kMaxIdentity ||
                   entry.name.size() > reportcheck::kMaxIdentity ||
                   entry.banji.size() > reportcheck::kMaxIdentity || entry.computer.size() > 64) {
            roster.skipped << line + QStringLiteral("学号、姓名或班级太长");
        } else if (numbers.contains(entry.xuehao)) {
            roster.skipped << line + QStringLiteral("学号%1重复").arg(entry.xuehao);
        } else if (roster.entries.size() >= kMaxStudents) {
            roster.skipped << line + QStringLiteral("名单最多%1人").arg(kMaxStudents);
        } else {
            numbers.insert(entry.xuehao);
            roster.entries << entry;
        }
    }
    return roster;
}

Status read(const QString &path, Roster &roster)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("无法读取名单 %1：%2").arg(path, file.errorString()));
    if (file.size() > kMaxFileSize)
        return Status::failure(QStringLiteral("名单 %1 大于4 MiB").arg(path));
    roster = parse(file.readAll());
    if (roster.entries.isEmpty())
        return Status::failure(QStringLiteral("名单 %1 中没有学生%2")
                                   .arg(path, roster.skipped.isEmpty()
                                                  ? QString()
                                                  : QStringLiteral("（") + roster.skipped.first() +
                                                        QStringLiteral("）")));
    return Status::success();
}

} // namespace rosterfile
