// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "net/Protocol.h"

#include <QString>
#include <QStringList>

#include <optional>

// One student of the class list in the current test: who it is (from the roster or from its
// first report), the connection that holds the row, and what it has reported. A row is also
// one result of the results store (resultId); the connection-side members are not stored.
struct StudentRow
{
    // Where the student is in the test. The display adds the connection's side (silent, gone).
    enum class State {
        Absent,    // on the roster, not seen in this test
        Connected, // a connection, the settings still going out
        Ready,     // settings done, start not pressed: "未开始" while a test runs
        Waiting,   // start pressed before the test began: gets the text when it does
        Started,   // the text went out, no report yet
        Typing,    // reports coming
        Finished,  // a result that nothing changes any more (see Finish)
        Gone       // the connection closed before the student finished
    };
    // How a result was finished: by the student's client (end button, whole text typed, own
    // time limit) or by the class's end (the teacher's, or the class's time limit).
    enum class Finish { None, EndReport, Completed, TimeUp, TeacherEnded, ClassTimeUp };
    // Marks on a result. The figure marks take the row out of the summary.
    enum Flag {
        TooFast = 1,       // more right characters than a typist can reach in the time
        OverTyped = 2,     // typed well past the end of the text
        TimeBackwards = 4, // a report's time below the one before it in the same attempt
        WrongText = 8,     // a character count that is not the test text's
        FigureFlags = TooFast | OverTyped | TimeBackwards | WrongText,
        NotOnRoster = 16, // a roster is loaded and this number is not on it
        Duplicate = 32,   // claims a number that another row holds; the teacher decides
        Dismissed = 64    // a duplicate the teacher did not keep: out of the list and results
    };

    // Store side.
    qint64 resultId = 0; // 0 until stored
    QString xuehao;      // empty while the connection has not said who it is
    QString name;
    QString banji;
    QString computer;    // from the progress reports (or the roster)
    QString inputMethod; // from the progress reports
    QString peer;        // address:port of the connection that holds the row
    QString otherPeer;   // a duplicate: the address of the row it claims
    bool onRoster = false;
    qint64 duplicateOf = 0; // a duplicate: the resultId of the row it claims
    Finish finish = Finish::None;
    int flags = 0;
    // The last progress report of the current attempt, and the report that finished it.
    std::optional<protocol::Report> live;
    std::optional<protocol::Report> final;

    // Connection side.
    State state = State::Absent;
    int connection = 0;  // the server's client number; 0 when none
    bool silent = false; // typing, and nothing heard for a while
    int lastTime = -1;   // seconds of the attempt's last report (time going backwards)
    QStringList replies; // the last few reply codes of this connection, oldest first
    int problems = 0;    // messages of this connection that were ignored
    QString lastProblem;

    bool identified() const { return !xuehao.isEmpty(); }
    bool finished() const { return finish != Finish::None; }
    bool dismissed() const { return flags & Dismissed; }
    bool duplicate() const { return flags & Duplicate; }
    // A result whose figures the summary leaves out: marked figures, a duplicate, not on the
    // roster.
    bool doubtful() const { return flags & (FigureFlags | Duplicate | NotOnRoster); }
    // The figures to show: the finishing report once it has come, else the last progress report.
    const protocol::Report *figures() const
    {
        if (final)
            return &*final;
        return live ? &*live : nullptr;
    }
    // The error characters: the end report carries none, the last progress report's stand.
    QString errChars() const
    {
        if (final && !final->errChars.isEmpty())
            return final->errChars;
        return live ? live->errChars : QString();
    }
    // Right characters per minute, accuracy in percent, as the student's window rounds them;
    // nothing before the first second or the first character typed.
    std::optional<double> speed() const;
    std::optional<double> accuracy() const;

    static QString stateText(State state);
    static QString finishText(Finish finish);
    // "速度过快、超出原文" for the marks that are set; empty when none.
    static QString flagsText(int flags);
};
