#include "StudentRow.h"

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
    case State::Connected:
        return QStringLiteral("已连接");
    case State::Waiting:
        return QStringLiteral("等待");
    case State::Typing:
        return QStringLiteral("测试中");
    case State::Finished:
        return QStringLiteral("已结束");
    case State::Gone:
        return QStringLiteral("已断开");
    }
    return {};
}
