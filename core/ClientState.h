// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/AppSettings.h"
#include "core/Figures.h"

#include <QColor>
#include <QString>
#include <QStringList>

// The shared state of the client: identity, server endpoint, the counters and flags of the
// running test and the display settings of the two text boxes. One instance lives as long as
// the main window; every handler reads and writes it. It holds no widgets.
//
// The counters are 16-bit values on the wire and in the reports, so a text holds at most
// kMaxCount characters and a test lasts at most kMaxCount seconds. They are kept as int here
// and the code that changes them keeps them inside that range.
struct ClientState
{
    static constexpr int kMaxCount = 32767;

    QString ActIme; // input method chosen in cmbshurufa, which the typing box keeps active
    QString computerName;
    int NumNextStart = 0; // typed positions already compared and coloured

    QColor ColorRight{150, 150, 150};
    QColor ColorErr{255, 0, 0};
    QColor ColorNoinput{0, 0, 0};
    QColor ColorNow{0, 0, 255};

    int txtFontsize = 25;
    QString txtFontName = QStringLiteral("黑体");

    int NumTxtCount = 0;
    int NumTxtInputCount = 0;
    int NumTxtRight = 0;
    int NumKeyBackup = 0;
    bool IsWorking = false;
    int TotalTime = 0;

    QString strUserName;
    QString strBanji;
    QString strXuehao;
    QString strServerIp;
    int NumServerPort = AppSettings::kDefaultPort;

    int MaxTime = 0; // minutes; below 1 means no limit
    int dengdaishijian = 0;
    QString cuowu;
    QString errChar;
    // What was typed in the place of each character of errChar, when it was first mistyped.
    QString errTyped;
    bool IsReStart = false;
    bool Zigen = false;

    int NumHintDelay = 8;
    bool IsHintPending = false;
    int IsCzText = 0;

    QStringList ForbidList;
    QString strForbidList;

    // The counters as the figures and the reports take them.
    figures::Counts counts() const
    {
        return {TotalTime, NumTxtCount, NumTxtInputCount, NumTxtRight, NumKeyBackup};
    }

    // A new test's mistyped characters start empty.
    void clearMistakes()
    {
        cuowu.clear();
        errChar.clear();
        errTyped.clear();
    }

    // The one reset of a test's counters: a new text, a practice text.
    void resetCounters(int txtCount)
    {
        NumTxtCount = txtCount;
        NumTxtInputCount = 0;
        NumTxtRight = 0;
        NumKeyBackup = 0;
    }
};
