#include "StudentRow.h"

std::optional<double> StudentRow::speed() const
{
    const protocol::Report *report = figures();
    if (!report || report->totalTime <= 0)
        return std::nullopt;
    return double(report->right) / report->totalTime * 60.0;
}

std::optional<double> StudentRow::accuracy() const
{
    const protocol::Report *report = figures();
    if (!report || report->inputCount <= 0)
        return std::nullopt;
    return double(report->right) / report->inputCount * 100.0;
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
