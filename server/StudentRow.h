#pragma once

#include "net/Protocol.h"

#include <QString>
#include <QStringList>

#include <optional>

// One student of the class list: the connection it came on, who it is (from its first report)
// and what it has reported in the current test.
struct StudentRow
{
    enum class State { Connected, Waiting, Typing, Finished, Gone };

    int connection = 0; // the test server's client number; 0 once gone
    QString peer;       // address:port of the connection
    QString xuehao;     // empty until the first report
    QString name;
    QString banji;
    QString computer;    // from the progress reports only
    QString inputMethod; // likewise
    State state = State::Connected;

    // The last progress report of the current test, and the end report when it has come.
    std::optional<protocol::Report> live;
    std::optional<protocol::Report> final;

    QStringList replies;    // the last few reply codes of this connection, oldest first
    bool duplicate = false; // claims a number that another connection holds; warned
    int problems = 0;       // messages of this connection that were ignored
    QString lastProblem;

    bool identified() const { return !xuehao.isEmpty(); }
    // The figures to show: the end report once it has come, else the last progress report.
    const protocol::Report *figures() const
    {
        if (final)
            return &*final;
        return live ? &*live : nullptr;
    }
    // Right characters per minute, accuracy in percent; nothing before the first second or
    // the first character typed.
    std::optional<double> speed() const;
    std::optional<double> accuracy() const;

    static QString stateText(State state);
};
