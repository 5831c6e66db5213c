// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/PracticeRequest.h"

#include "core/Numeric.h"
#include "practice/RootTable.h"

#include <QStringList>

#include <limits>

namespace {

struct Field
{
    std::optional<int> value;
    QString error;
};

Field shortField(const QString &text, const QString &what)
{
    const std::optional<double> value = numeric::parse(text);
    if (!value)
        return {std::nullopt, QStringLiteral("字根练习的%1“%2”不是数字。").arg(what, text)};
    const double rounded = numeric::roundHalfEven(*value);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return {std::nullopt, QStringLiteral("溢出：字根练习的%1“%2”超出范围。").arg(what, text)};
    return {static_cast<int>(rounded), QString()};
}

} // namespace

PracticeRequest::Parse PracticeRequest::parse(const QString &text)
{
    const QStringList fields = text.mid(4).split(u'/');
    const Field zone = shortField(fields.at(0), QStringLiteral("区号"));
    if (!zone.value)
        return {std::nullopt, zone.error};
    if (fields.size() < 2)
        return {std::nullopt, QStringLiteral("字根练习的设置不完整：缺少字根个数。")};
    const Field count = shortField(fields.at(1), QStringLiteral("字根个数"));
    if (!count.value)
        return {std::nullopt, count.error};
    if (*zone.value > RootTable::kZones)
        return {std::nullopt,
                QStringLiteral("字根练习的区号%1超出范围：字根只分1到5区（0为全部字根）。")
                    .arg(*zone.value)};
    return {PracticeRequest{*zone.value, *count.value}, QString()};
}
