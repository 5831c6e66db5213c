// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ReportCheck.h"

#include "server/StudentRow.h"

namespace reportcheck {

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString refusal(const protocol::Report &report, bool end)
{
    const QString kind = end ? QStringLiteral("结束报告") : QStringLiteral("进度报告");
    if (report.xuehao.trimmed().isEmpty())
        return kind + QStringLiteral("没有学号，已忽略");
    if (report.xuehao.size() > kMaxIdentity || report.name.size() > kMaxIdentity ||
        report.banji.size() > kMaxIdentity)
        return kind + QStringLiteral("的学号、姓名或班级超过%1个字符，已忽略").arg(kMaxIdentity);
    if (report.totalTime < 0 || report.txtCount < 0 || report.inputCount < 0 || report.right < 0 ||
        report.backspaces < 0)
        return kind + QStringLiteral("有负数，已忽略");
    if (report.right > report.inputCount || report.right > report.txtCount)
        return kind + QStringLiteral("的正确字数多于已输入字数或原文字数，已忽略");
    return {};
}

int flags(const protocol::Report &report, int expectedLength, int previousTime)
{
    int marks = 0;
    if (qint64(report.right) > kMaxCommit + qint64(kMaxRate) * report.totalTime)
        marks |= StudentRow::TooFast;
    // The last commit may run past the end of the text by a word or a phrase, not more.
    if (report.inputCount > report.txtCount + kMaxCommit)
        marks |= StudentRow::OverTyped;
    if (previousTime >= 0 && report.totalTime < previousTime)
        marks |= StudentRow::TimeBackwards;
    if (expectedLength >= 0 && report.txtCount != expectedLength)
        marks |= StudentRow::WrongText;
    return marks;
}

QString clean(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (isControl(c.unicode()))
            c = QChar(0xFFFD);
    return result;
}

protocol::Report cleaned(protocol::Report report)
{
    report.xuehao = clean(report.xuehao);
    report.name = clean(report.name);
    report.banji = clean(report.banji);
    report.inputMethod = clean(report.inputMethod);
    report.computer = clean(report.computer);
    report.errChars = clean(report.errChars);
    return report;
}

} // namespace reportcheck
