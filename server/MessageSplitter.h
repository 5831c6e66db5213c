// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// Cuts the text a client sends into its messages. The client sends each message with one write
// and no delimiter, so a read may hold several messages or part of one. The client's messages
// have a fixed shape: the four-character replies ("1009", "1011", "1008", "1010", "1100"), the
// progress report "1099" (12 fields) and the end report "1098" (9 fields); only the last field of
// a report has no end marker. That field ends where the next message begins: the splitter
// chooses the end at which the following text reads as messages again. Every reply code holds a
// repeated character while the error characters of a progress report are all distinct, which
// settles most of the remaining doubt.
class MessageSplitter
{
public:
    struct Result
    {
        QStringList messages;   // complete messages and unrecognised pieces, in arrival order
        QList<bool> recognised; // per entry of `messages`: false for a piece that is no message
        QString rest;           // the beginning of a message whose end has not arrived yet
    };

    // Longest report accepted; longer text is not a report.
    static constexpr qsizetype kMaxReportLength = 4096;

    static Result split(const QString &text);
};
