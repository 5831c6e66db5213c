// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/Protocol.h"

#include "core/Blanks.h"
#include "core/Numeric.h"

#include <QStringList>

#include <cmath>
#include <limits>

namespace protocol {

namespace {

constexpr QChar kSeparator = u'|';

QString fieldCode(const char16_t *code)
{
    return QString::fromUtf16(code);
}

// Character `position` (counted from 1, the code included) or nothing past the end.
std::optional<QChar> charAt(const QString &message, qsizetype position)
{
    if (message.size() < position)
        return std::nullopt;
    return message.at(position - 1);
}

// The counters go over the wire as plain decimal 16-bit values.
std::optional<int> parseCounter(const QString &field)
{
    qsizetype start = field.startsWith(u'-') ? 1 : 0;
    if (field.size() == start || field.size() - start > 6)
        return std::nullopt;
    for (qsizetype i = start; i < field.size(); ++i) {
        if (field.at(i) < u'0' || field.at(i) > u'9')
            return std::nullopt;
    }
    const int value = field.toInt();
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return value;
}

std::optional<Report> parseReport(const QString &message, const char16_t *expectedCode,
                                  qsizetype fieldCount)
{
    const QStringList fields = message.split(kSeparator);
    if (fields.size() != fieldCount || fields.at(0) != fieldCode(expectedCode))
        return std::nullopt;
    Report report;
    report.xuehao = fields.at(1);
    report.name = fields.at(2);
    report.banji = fields.at(3);
    int *counters[] = {&report.totalTime, &report.txtCount, &report.inputCount, &report.right,
                       &report.backspaces};
    for (int i = 0; i < 5; ++i) {
        const std::optional<int> value = parseCounter(fields.at(4 + i));
        if (!value)
            return std::nullopt;
        *counters[i] = *value;
    }
    if (fieldCount == 12) {
        report.inputMethod = fields.at(9);
        report.computer = fields.at(10);
        report.errChars = fields.at(11);
    }
    return report;
}

QStringList endFields(const Report &report)
{
    return {report.xuehao,
            report.name,
            report.banji,
            QString::number(report.totalTime),
            QString::number(report.txtCount),
            QString::number(report.inputCount),
            QString::number(report.right),
            QString::number(report.backspaces)};
}

} // namespace

QString code(const QString &message)
{
    return message.size() >= 4 ? message.left(4) : QString();
}
QString body(const QString &message)
{
    return message.mid(4);
}

QString startRequest()
{
    return fieldCode(kStartRequest);
}
QString textLoaded()
{
    return fieldCode(kTextLoaded);
}
QString inputMethodsDone()
{
    return fieldCode(kInputMethodsDone);
}
QString timingDone()
{
    return fieldCode(kTimingDone);
}
QString duplicateAnswered()
{
    return fieldCode(kDuplicateAnswered);
}

QString progressReport(const Report &report)
{
    QStringList fields = endFields(report);
    fields.prepend(fieldCode(kProgressReport));
    fields << report.inputMethod << report.computer << report.errChars;
    return fields.join(kSeparator);
}

QString endReport(const Report &report)
{
    QStringList fields = endFields(report);
    fields.prepend(fieldCode(kEndReport));
    return fields.join(kSeparator);
}

TestText parseTestText(const QString &body)
{
    if (body.startsWith(fieldCode(kWordsPrefix)))
        return {TextKind::Words, body.mid(4)};
    if (body.startsWith(fieldCode(kRootPracticePrefix)))
        return {TextKind::RootPractice, body};
    return {TextKind::Plain, body};
}

Environment parseEnvironment(const QString &message)
{
    Environment environment;
    // An absent roots flag is not "0", so it allows the roots; an absent hints flag counts
    // as "0".
    environment.rootsAllowed = charAt(message, 5).value_or(u'1') != u'0';
    environment.hintsAllowed = charAt(message, 6).value_or(u'0') != u'0';
    if (message.size() >= 7)
        environment.forbiddenList = message.mid(6);
    return environment;
}

bool isDuplicateLogin(const QString &message)
{
    return charAt(message, 5).value_or(u'1') != u'0';
}

bool isUnrestricted(const QString &rule)
{
    // Only the ordinary blank counts; tabs and full-width spaces are part of the rule.
    return blanks::trimmed(rule, blanks::Set::SpacesOnly) == fieldCode(kUnrestricted);
}

QString textMessage(const TestText &text)
{
    QString message = fieldCode(kNewText);
    if (text.kind == TextKind::Words)
        message += fieldCode(kWordsPrefix);
    return message + text.text;
}

QString teacherMessage(const QString &text)
{
    return fieldCode(kTeacherMessage) + text;
}

QString duplicateLoginNotice(bool duplicate)
{
    return fieldCode(kDuplicateLogin) + (duplicate ? u'1' : u'0');
}

QString environmentMessage(const Environment &environment)
{
    return fieldCode(kEnvironment) + (environment.rootsAllowed ? u'1' : u'0') +
           (environment.hintsAllowed ? u'1' : u'0') + environment.forbiddenList.value_or(QString());
}

QString inputMethodsMessage(const QString &rule)
{
    return fieldCode(kInputMethods) + rule;
}

QString timingMessage(int maxTime, int hintDelay)
{
    return fieldCode(kTiming) + QString::number(maxTime) + kSeparator + QString::number(hintDelay);
}

std::optional<Report> parseProgressReport(const QString &message)
{
    return parseReport(message, kProgressReport, 12);
}

std::optional<Report> parseEndReport(const QString &message)
{
    return parseReport(message, kEndReport, 9);
}

} // namespace protocol

namespace protocol {

namespace {

// A numeric timing field as a 16-bit integer: nothing when the text is not numeric; an error
// when the value does not fit.
std::optional<int> shortField(const QString &text, QString &error)
{
    const std::optional<double> value = numeric::parse(text);
    if (!value)
        return std::nullopt;
    const double rounded = numeric::roundHalfEven(*value);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max()) {
        error = QStringLiteral("溢出：时间设置“%1”超出范围。").arg(text);
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

} // namespace

Timing parseTiming(const QString &body)
{
    Timing timing;
    const QStringList fields = body.split(u'|');
    const std::optional<int> limit = shortField(fields.at(0), timing.error);
    if (!timing.error.isEmpty())
        return timing;
    timing.maxTime = limit.value_or(0);
    if (fields.size() < 2) {
        timing.error = QStringLiteral("时间设置不完整：缺少编码提示的延时。");
        return timing;
    }
    const std::optional<int> delay = shortField(fields.at(1), timing.error);
    if (!timing.error.isEmpty())
        return timing;
    if (delay && *delay + 1 > std::numeric_limits<qint16>::max()) {
        timing.error = QStringLiteral("溢出：编码提示延时超出范围。");
        return timing;
    }
    timing.hintDelay = delay ? *delay + 1 : 8;
    return timing;
}

} // namespace protocol
