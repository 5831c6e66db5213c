#include "ClassSummary.h"

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

QString fixed(const std::optional<double> &value, int decimals)
{
    if (!value)
        return QStringLiteral("-");
    const double scale = std::pow(10.0, decimals);
    return QString::number(std::round(*value * scale) / scale, 'f', decimals);
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
        if (!row.identified() || !row.figures())
            continue;
        ++summary.students;
        if (row.final)
            ++summary.finished;
        if (const std::optional<double> speed = row.speed())
            speeds << *speed;
        if (const std::optional<double> accuracy = row.accuracy())
            accuracies << *accuracy;
        if (!row.live)
            continue;
        // Each student counts a character once, however often it was mistyped.
        QStringList seen;
        for (const QString &c : characters(row.live->errChars)) {
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
    return QStringLiteral("%1人，已结束%2人 | 速度 平均%3 中位%4 字/分 | 正确率 平均%5 中位%6 | "
                          "常错字：%7")
        .arg(students)
        .arg(finished)
        .arg(fixed(meanSpeed, 1), fixed(medianSpeed, 1), fixed(meanAccuracy, 0),
             fixed(medianAccuracy, 0),
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
