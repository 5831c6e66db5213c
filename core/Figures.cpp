// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Figures.h"

#include <QtGlobal>

namespace {

// numerator / denominator rounded half away from zero; denominator > 0.
qint64 roundedQuotient(qint64 numerator, qint64 denominator)
{
    const qint64 magnitude = (2 * qAbs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

} // namespace

namespace figures {

std::optional<qint64> speedTenths(int right, int seconds)
{
    if (seconds <= 0)
        return std::nullopt;
    // right / seconds * 60 * 10
    return roundedQuotient(qint64(right) * 600, seconds);
}

std::optional<qint64> accuracyPercent(int right, int typed)
{
    if (typed <= 0)
        return std::nullopt;
    return roundedQuotient(qint64(right) * 100, typed);
}

QString tenthsText(qint64 tenths)
{
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(qAbs(tenths) / 10) + u'.' + QString::number(qAbs(tenths) % 10);
}

QString speedText(int right, int seconds)
{
    return tenthsText(speedTenths(right, seconds).value_or(0));
}

QString accuracyText(int right, int typed)
{
    return QString::number(accuracyPercent(right, typed).value_or(0));
}

QString elapsedText(int seconds)
{
    return QString::number(seconds / 60) + u'分' + QString::number(seconds % 60) + u'秒';
}

QString remainingText(int maxMinutes, int seconds)
{
    const qint64 rest = qint64(maxMinutes) * 60 - seconds;
    return QString::number(rest / 60) + u'分' + QString::number(rest % 60) + u'秒';
}

Display display(const Counts &c, int maxMinutes)
{
    Display d;
    if (c.totalTime < 1) {
        d.speed = QStringLiteral("0");
        d.progress = QStringLiteral("0/0(正确100%)");
    } else {
        d.speed = speedText(c.right, c.totalTime);
        d.progress = QString::number(c.inputCount) + u'/' + QString::number(c.txtCount) +
                     QStringLiteral("(正确") + accuracyText(c.right, c.inputCount) +
                     QStringLiteral("%)");
    }
    d.elapsed = elapsedText(c.totalTime);
    if (maxMinutes < 1) {
        d.timing = QStringLiteral("不限时");
        d.remaining = QStringLiteral("不限");
    } else {
        d.timing = QStringLiteral("限时") + QString::number(maxMinutes) + QStringLiteral("分钟");
        d.remaining = remainingText(maxMinutes, c.totalTime);
    }
    return d;
}

QString sentence(const Counts &c)
{
    return QStringLiteral("已用时：") + elapsedText(c.totalTime) + QStringLiteral("，总字数：") +
           QString::number(c.txtCount) + QStringLiteral("个，已录入：") +
           QString::number(c.inputCount) + QStringLiteral("个，正确数：") +
           QString::number(c.right) + QStringLiteral("个，退格次数：") +
           QString::number(c.backspaces) + QStringLiteral("次，平均速度：") +
           speedText(c.right, c.totalTime) + QStringLiteral("字/分钟");
}

} // namespace figures
