// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ClassSummary.h"

#include "core/Figures.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

std::optional<double> mean(const QList<double> &values)
{
    if (values.isEmpty())
        return std::nullopt;
    return std::accumulate(values.cbegin(), values.cend(), 0.0) / double(values.size());
}

std::optional<double> median(QList<double> values)
{
    if (values.isEmpty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    if (values.size() % 2 == 1)
        return values.at(middle);
    return (values.at(middle - 1) + values.at(middle)) / 2.0;
}

// A mean or median speed written as the students' windows write a speed.
QString speedText(const std::optional<double> &value)
{
    return value ? figures::tenthsText(std::llround(*value * 10.0)) : QStringLiteral("-");
}

QString percentText(const std::optional<double> &value)
{
    return value ? QString::number(std::llround(*value)) : QStringLiteral("-");
}

// The characters of a text one by one, a character outside the basic plane as one.
QStringList characters(const QString &text)
{
    QStringList list;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            list << text.mid(i, 2);
            ++i;
        } else {
            list << text.mid(i, 1);
        }
    }
    return list;
}

} // namespace

ClassSummary ClassSummary::of(const QList<StudentRow> &rows, int mistypedCount)
{
    ClassSummary summary;
    QList<double> speeds;
    QList<double> accuracies;
    QHash<QString, int> counts;
    QStringList order;
    for (const StudentRow &row : rows) {
        if (row.dismissed())
            continue;
        if (row.identified() && row.state == StudentRow::State::Absent && !row.figures()) {
            ++summary.absent;
            continue;
        }
        if (!row.identified() || !row.figures())
            continue;
        if (row.doubtful()) {
            ++summary.leftOut;
            continue;
        }
        ++summary.students;
        if (row.finished())
            ++summary.finished;
        if (const std::optional<double> speed = row.speed())
            speeds << *speed;
        if (const std::optional<double> accuracy = row.accuracy())
            accuracies << *accuracy;
        // Each student counts a character once, however often it was mistyped.
        QStringList seen;
        for (const QString &c : characters(row.errChars())) {
            if (seen.contains(c))
                continue;
            seen << c;
            if (!counts.contains(c))
                order << c;
            ++counts[c];
        }
    }
    summary.meanSpeed = mean(speeds);
    summary.medianSpeed = median(speeds);
    summary.meanAccuracy = mean(accuracies);
    summary.medianAccuracy = median(accuracies);
    std::stable_sort(order.begin(), order.end(), [&counts](const QString &a, const QString &b) {
        return counts.value(a) > counts.value(b);
    });
    for (const QString &c : order.mid(0, mistypedCount))
        summary.mostMistyped.append({c, counts.value(c)});
    return summary;
}

QString ClassSummary::text() const
{
    QStringList mistyped;
    for (const auto &[character, count] : mostMistyped)
        mistyped << QStringLiteral("「%1」%2").arg(character).arg(count);
    QString counts = QStringLiteral("%1人，已结束%2人").arg(students).arg(finished);
    if (absent > 0)
        counts += QStringLiteral("，缺席%1人").arg(absent);
    if (leftOut > 0)
        counts += QStringLiteral("，%1人未计入（有标记）").arg(leftOut);
    return QStringLiteral("%1 | 速度 平均%2 中位%3 字/分 | 正确率 平均%4 中位%5 | 常错字：%6")
        .arg(counts, speedText(meanSpeed), speedText(medianSpeed), percentText(meanAccuracy),
             percentText(medianAccuracy),
             mistyped.isEmpty() ? QStringLiteral("-") : mistyped.join(u'、'));
}

QList<int> ClassSummary::histogram(const QList<double> &speeds, double binWidth, int bins)
{
    QList<int> counts(std::max(bins, 1), 0);
    if (binWidth <= 0)
        return counts;
    for (double speed : speeds) {
        if (!std::isfinite(speed) || speed < 0)
            continue;
        const qsizetype bin = std::min<qsizetype>(qsizetype(speed / binWidth), counts.size() - 1);
        ++counts[bin];
    }
    return counts;
}
