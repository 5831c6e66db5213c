#include "ConsoleFormat.h"

#include <cmath>

namespace consoleformat {

namespace {

// Rounded half away from zero, as the client shows its figures.
QString fixed(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return QString::number(std::round(value * scale) / scale, 'f', decimals);
}

} // namespace

QString speed(const protocol::Report &report)
{
    if (report.totalTime == 0)
        return QStringLiteral("-");
    return fixed(double(report.right) / report.totalTime * 60.0, 1);
}

QString accuracy(const protocol::Report &report)
{
    if (report.inputCount == 0)
        return QStringLiteral("-");
    return fixed(double(report.right) / report.inputCount * 100.0, 0);
}

QString report(const protocol::Report &report, bool end)
{
    QString line = end ? QStringLiteral("*** END *** ") : QString();
    line += QStringLiteral("%1 %2 %3").arg(report.xuehao, report.name, report.banji);
    if (!end)
        line += QStringLiteral(" @%1").arg(report.computer);
    line += QStringLiteral(" | %1 s | %2 chars, typed %3, right %4, backspaces %5 | "
                           "%6 chars/min, accuracy %7")
                .arg(report.totalTime)
                .arg(report.txtCount)
                .arg(report.inputCount)
                .arg(report.right)
                .arg(report.backspaces)
                .arg(speed(report),
                     report.inputCount == 0 ? accuracy(report) : accuracy(report) + u'%');
    if (!end) {
        line += QStringLiteral(" | errors: %1 | IME: %2")
                    .arg(report.errChars.isEmpty() ? QStringLiteral("-") : report.errChars,
                         report.inputMethod);
    }
    return line;
}

QString printable(const QString &text, qsizetype limit)
{
    QString line;
    for (qsizetype i = 0; i < text.size() && i < limit; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            line += c;
    }
    if (text.size() > limit)
        line += QStringLiteral("... (%1 characters)").arg(text.size());
    return line;
}

} // namespace consoleformat
