// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ConsoleFormat.h"

#include "core/Figures.h"

namespace consoleformat {

QString speed(const protocol::Report &report)
{
    if (report.totalTime == 0)
        return QStringLiteral("-");
    return figures::speedText(report.right, report.totalTime);
}

QString accuracy(const protocol::Report &report)
{
    if (report.inputCount == 0)
        return QStringLiteral("-");
    return figures::accuracyText(report.right, report.inputCount);
}

QString report(const protocol::Report &report, bool end)
{
    QString line = end ? QStringLiteral("*** END *** ") : QString();
    // Names come from the network: nothing in them reaches a terminal as a control character.
    line += QStringLiteral("%1 %2 %3")
                .arg(printable(report.xuehao, 40), printable(report.name, 40),
                     printable(report.banji, 40));
    if (!end)
        line += QStringLiteral(" @%1").arg(printable(report.computer, 40));
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
                    .arg(report.errChars.isEmpty() ? QStringLiteral("-")
                                                   : printable(report.errChars, 100),
                         printable(report.inputMethod, 60));
    }
    return line;
}

QString printable(const QString &text, qsizetype limit)
{
    QString line;
    for (qsizetype i = 0; i < text.size() && i < limit; ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x200E || u == 0x200F ||
            (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            line += u < 0x100 ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'))
                              : QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        else
            line += c;
    }
    if (text.size() > limit)
        line += QStringLiteral("... (%1 characters)").arg(text.size());
    return line;
}

} // namespace consoleformat
