// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One mistyped character of a test (or a root answered with a wrong key), with what helps to
// learn it: what was typed in its place, its codes and its roots as glyph numbers.
struct Mistake
{
    QString expected;   // the character of the text (the root of the practice)
    QString typed;      // what was typed in its place (the wrong keys pressed for the root)
    QStringList wubi;   // its Wubi codes (the right key for a root)
    QStringList pinyin; // its Pinyin readings
    QList<int> glyphs;  // its roots as glyph numbers (1-206)
};

// What the result window shows for a test that has just ended, and which test it was.
struct TestResult
{
    QString xingming;
    QString xuehao;
    QString banji;
    QString msg;           // the statistics sentence
    QString cuowu;         // the mistyped characters, for the practice link
    quint64 test = 0;      // the test the result belongs to
    bool drillable = true; // the practice link may start a practice of the mistyped characters

    // What the result's detail part teaches.
    QList<int> speedTenths; // the speed at every second of the test, in tenths of 字/分
    QString accuracy;       // right of typed in percent ("98"), empty when nothing was typed
    QList<Mistake> mistakes;
    bool timeUp = false; // the time limit ended the test before the text was complete
    int wrongKeys = -1;  // root practice: the wrong keys pressed; -1 for a typed text
};

Q_DECLARE_METATYPE(TestResult)
