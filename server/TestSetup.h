// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "server/TestScript.h"

#include <QString>

// A test as the teacher sets it up in the console: the text and how it is sent, the timing, the
// input-method rule, what is allowed and what is forbidden. It is written into the test
// server's script, which sends it: "0100", "0009" and "0008" on connect (and again when the
// teacher sends the settings), "0010" when a student presses start or the teacher starts the
// test.
struct TestSetup
{
    enum class Kind { Plain, Words, RootPractice };
    enum class FileEncoding { Auto, Utf8, Gbk };

    Kind kind = Kind::Plain;
    QString text;     // plain or word text; unused for root practice
    int rootZone = 0; // root practice: 0 for all keys, 1 to 5 for one zone
    int rootCount = 50;
    int timeLimit = 0; // minutes, 0 = no limit
    int hintDelay = 5; // seconds
    QString inputMethodRule = QStringLiteral("不限制");
    bool rootsAllowed = true;
    bool hintsAllowed = true;
    QString forbidden; // program names separated by "|"
    // The pass mark: right characters a minute and accuracy in percent, both to be reached.
    // 40 字/分 at 95 % is the mark many schools set for Chinese input in a first term.
    int passSpeed = kDefaultPassSpeed;
    int passAccuracy = kDefaultPassAccuracy;

    static constexpr int kDefaultPassSpeed = 40;
    static constexpr int kDefaultPassAccuracy = 95;

    // The longest text the client takes.
    static constexpr int kMaxTextLength = 32767;

    // The "0010" body: the text, "<cz>" + the words joined by one blank, or "<zg>zone/count".
    QString body() const;
    // Checks the pass mark: 0 to 1000 字/分, 0 to 100 %.
    Status checkPassMark() const;
    // Checks the setup and writes it into the script; the script is left alone on failure.
    Status applyTo(TestScript &script) const;
    static TestSetup from(const TestScript &script);

    // Reads a text file: a UTF-8 byte-order mark or valid UTF-8 reads as UTF-8, anything else as
    // GBK (Auto); line breaks are dropped from a plain text, words are joined by one blank.
    static Status readTextFile(const QString &path, FileEncoding encoding, Kind kind,
                               QString &text);
};
