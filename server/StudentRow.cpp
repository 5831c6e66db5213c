// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/StudentRow.h"

#include "core/Figures.h"

std::optional<double> StudentRow::speed() const
{
    const protocol::Report *report = figures();
    if (!report)
        return std::nullopt;
    // The tenths the client rounds to, so a sorted column and a mean agree with the screens.
    if (const auto tenths = figures::speedTenths(report->right, report->totalTime))
        return double(*tenths) / 10.0;
    return std::nullopt;
}

std::optional<double> StudentRow::accuracy() const
{
    const protocol::Report *report = figures();
    if (!report)
        return std::nullopt;
    if (const auto percent = figures::accuracyPercent(report->right, report->inputCount))
        return double(*percent);
    return std::nullopt;
}

QString StudentRow::stateText(State state)
{
    switch (state) {
    case State::Absent:
        return QStringLiteral("缺席");
    case State::Connected:
        return QStringLiteral("已连接");
    case State::Ready:
        return QStringLiteral("未开始");
    case State::Waiting:
        return QStringLiteral("等待试题");
    case State::Started:
        return QStringLiteral("已发题");
    case State::Typing:
        return QStringLiteral("测试中");
    case State::Finished:
        return QStringLiteral("已结束");
    case State::Gone:
        return QStringLiteral("已断开");
    }
    return {};
}

QString StudentRow::finishText(Finish finish)
{
    switch (finish) {
    case Finish::None:
        return {};
    case Finish::EndReport:
        return QStringLiteral("交卷");
    case Finish::Completed:
        return QStringLiteral("打完");
    case Finish::TimeUp:
        return QStringLiteral("时间到");
    case Finish::TeacherEnded:
        return QStringLiteral("老师结束");
    case Finish::ClassTimeUp:
        return QStringLiteral("全班时间到");
    }
    return {};
}

QString StudentRow::flagsText(int flags)
{
    QStringList texts;
    if (flags & Duplicate)
        texts << QStringLiteral("重复登录");
    if (flags & TooFast)
        texts << QStringLiteral("速度过快");
    if (flags & OverTyped)
        texts << QStringLiteral("超出原文");
    if (flags & TimeBackwards)
        texts << QStringLiteral("时间倒退");
    if (flags & WrongText)
        texts << QStringLiteral("字数不符");
    if (flags & NotOnRoster)
        texts << QStringLiteral("不在名单");
    if (flags & Dismissed)
        texts << QStringLiteral("已驳回");
    return texts.join(u'、');
}
