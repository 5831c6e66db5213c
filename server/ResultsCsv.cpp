// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ResultsCsv.h"

#include "server/ClassRoster.h"
#include "server/History.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace resultscsv {

QString field(const QString &text)
{
    QString value = text;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    bool numeric = false;
    value.toDouble(&numeric);
    if (!value.isEmpty() && !numeric && formulaStarts.contains(value.front()))
        value.prepend(u'\'');
    if (value.contains(u',') || value.contains(u'"') || value.contains(u'\n') ||
        value.contains(u'\r') || value.contains(u'\'')) {
        value.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return u'"' + value + u'"';
    }
    return value;
}

QByteArray build(const QList<StudentRow> &rows, int passSpeed, int passAccuracy)
{
    const QStringList header = {
        QStringLiteral("学号"),        QStringLiteral("姓名"),      QStringLiteral("班级"),
        QStringLiteral("计算机"),      QStringLiteral("输入法"),    QStringLiteral("状态"),
        QStringLiteral("结束方式"),    QStringLiteral("用时(秒)"),  QStringLiteral("字数"),
        QStringLiteral("已输入"),      QStringLiteral("正确"),      QStringLiteral("退格"),
        QStringLiteral("速度(字/分)"), QStringLiteral("正确率(%)"), QStringLiteral("错字"),
        QStringLiteral("标记"),        QStringLiteral("已完成"),    QStringLiteral("等级")};
    QString text = header.join(u',') + QStringLiteral("\r\n");
    for (const StudentRow &row : rows) {
        if (!row.identified() || row.dismissed())
            continue;
        const protocol::Report *figures = row.figures();
        const auto number = [figures](int protocol::Report::*member) {
            return figures ? QString::number(figures->*member) : QString();
        };
        const QString state =
            row.finished() ? QStringLiteral("已结束") : StudentRow::stateText(row.state);
        QStringList line = {field(row.xuehao),
                            field(row.name),
                            field(row.banji),
                            field(row.computer),
                            field(row.inputMethod),
                            state,
                            StudentRow::finishText(row.finish),
                            number(&protocol::Report::totalTime),
                            number(&protocol::Report::txtCount),
                            number(&protocol::Report::inputCount),
                            number(&protocol::Report::right),
                            number(&protocol::Report::backspaces),
                            ClassRoster::cellText(row, ClassRoster::Speed),
                            ClassRoster::cellText(row, ClassRoster::Accuracy),
                            field(row.errChars()),
                            StudentRow::flagsText(row.flags),
                            row.finished() ? QStringLiteral("是") : QStringLiteral("否"),
                            grades::text(grades::of(row, passSpeed, passAccuracy))};
        text += line.join(u',') + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

Status write(const QString &path, const QList<StudentRow> &rows, int passSpeed, int passAccuracy)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Status::failure(
            QStringLiteral("cannot create the results folder %1").arg(info.absolutePath()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(
            QStringLiteral("cannot write the results file %1: %2").arg(path, file.errorString()));
    const QByteArray bytes = build(rows, passSpeed, passAccuracy);
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Status::failure(
            QStringLiteral("cannot write the results file %1: %2").arg(path, file.errorString()));
    return Status::success();
}

} // namespace resultscsv
