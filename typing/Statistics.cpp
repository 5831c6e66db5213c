#include "typing/Statistics.h"

#include "core/ClientState.h"

#include <QtGlobal>

namespace {

// numerator / denominator rounded half away from zero; denominator > 0.
qint64 roundedQuotient(qint64 numerator, qint64 denominator)
{
    const qint64 magnitude = (2 * qAbs(numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

} // namespace

namespace stats {

QString speedText(int right, int seconds)
{
    if (seconds <= 0)
        return QStringLiteral("0.0");
    // Tenths of a character per minute: right / seconds * 60 * 10.
    const qint64 tenths = roundedQuotient(qint64(right) * 600, seconds);
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    return sign + QString::number(qAbs(tenths) / 10) + u'.' + QString::number(qAbs(tenths) % 10);
}

QString accuracyText(int right, int typed)
{
    if (typed <= 0)
        return QStringLiteral("0");
    return QString::number(roundedQuotient(qint64(right) * 100, typed));
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

QString sentence(const ClientState &state)
{
    return QStringLiteral("已用时：") + QString::number(state.TotalTime / 60) + u'分' +
           QString::number(state.TotalTime % 60) + QStringLiteral("秒，总字数：") +
           QString::number(state.NumTxtCount) + QStringLiteral("个，已录入：") +
           QString::number(state.NumTxtInputCount) + QStringLiteral("个，正确数：") +
           QString::number(state.NumTxtRight) + QStringLiteral("个，退格次数：") +
           QString::number(state.NumKeyBackup) + QStringLiteral("次，平均速度：") +
           speedText(state.NumTxtRight, state.TotalTime) + QStringLiteral("字/分钟");
}

} // namespace stats
