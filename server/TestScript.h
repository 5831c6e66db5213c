// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "net/Protocol.h"

#include <QDir>
#include <QList>
#include <QString>

#include <optional>

// One test as the server runs it: the settings it sends on connect, the text it sends on the
// client's start request and the teacher's messages that follow the text.
//
// A script is a text file of one directive per line: a keyword, one blank, the argument (the
// rest of the line, kept exactly, blanks included). Blank lines and lines starting with "#" are
// skipped. Command-line options use the same keywords (see README.md):
//   roots on|off            root chart allowed             ("0100", character 5)
//   hints on|off            code hints allowed             ("0100", character 6)
//   forbid <a>|<b>          forbidden program list         ("0100", from character 7)
//   ime <rule>              input method keyword or 不限制  ("0009")
//   time-limit <minutes>    0 means no limit               ("0008")
//   hint-delay <seconds>                                   ("0008")
//   text <body>             the "0010" body as sent ("<cz>"/"<zg>" prefixes keep their meaning)
//   text-file <path>        plain text from a file, line breaks removed
//   words <w1> <w2> ...     word text: sent as "<cz>" + the words joined by one blank
//   words-file <path>       word text from a file, words separated by any white space
//   message <seconds> <text>  teacher message ("0099") that many seconds after the text
//   file-encoding utf-8|gbk encoding of the files named by later lines (default utf-8)
// Relative paths are taken from the script's folder.
struct TestScript
{
    enum class FileEncoding { Utf8, Gbk };
    struct TimedMessage
    {
        int seconds = 0;
        QString text;
    };

    bool rootsAllowed = true;
    bool hintsAllowed = true;
    std::optional<QString> forbiddenList;
    QString inputMethodRule = QString::fromUtf16(protocol::kUnrestricted);
    int timeLimit = 0;
    int hintDelay = 5;
    std::optional<protocol::TestText> text;
    QList<TimedMessage> messages;
    FileEncoding fileEncoding = FileEncoding::Utf8;

    // Applies one directive; files it names are read at once, relative to `baseDir`.
    Status apply(const QString &line, const QDir &baseDir);
    // Applies every line of a script file. Errors name the file and the line.
    Status load(const QString &path);
    // Every message the script makes must survive the trip through GBK.
    Status checkEncodable() const;

    // The settings in the order they are sent on connect.
    QString environmentMessage() const;
    QString inputMethodsMessage() const;
    QString timingMessage() const;
    // "0010" + the text, or nothing when the script has no text.
    std::optional<QString> textMessage() const;
};
