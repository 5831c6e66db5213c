// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/ClassConsole.h"
#include "server/TestServer.h"
#include "tests/server/SimulatedStudent.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A class console on a real test server on 127.0.0.1 with short waits, a results folder and a
// clock the test can move forward.
struct ClassFixture
{
    // 60 characters: a 57-character claim in no time is past any typist.
    static QString text()
    {
        return QStringLiteral("春眠不觉晓处处闻啼鸟夜来风雨声花落知多少").repeated(3);
    }

    explicit ClassFixture(int timeLimit = 5)
        : console(server)
    {
        ServerSettings &settings = server.settings();
        settings.messageGapMs = 15;
        settings.environmentPauseMs = 15;
        settings.replyTimeoutMs = 3000;
        ClassConsole::Timing timing;
        timing.silenceMs = 800;
        timing.probeMs = 800;
        timing.limitGraceMs = 1500;
        timing.exportDelayMs = 50;
        timing.tickMs = 50;
        console.setTiming(timing);
        console.setClock([this] { return QDateTime::currentMSecsSinceEpoch() + skew; });
        TestSetup setup;
        setup.text = text();
        setup.timeLimit = timeLimit;
        setup.hintDelay = 3;
        if (!console.applySetup(setup).ok() || !server.listen(0).ok())
            qFatal("cannot set up the class");
        console.setResultsFolder(results.path());
    }
    std::unique_ptr<SimulatedStudent> join(const QString &number, const QString &computer = {})
    {
        return std::make_unique<SimulatedStudent>(
            server.port(), number, computer.isEmpty() ? QStringLiteral("PC") + number : computer);
    }
    // Connected, settings answered, start pressed and the text taken (a test must run).
    std::unique_ptr<SimulatedStudent> typing(const QString &number, const QString &computer = {})
    {
        auto student = join(number, computer);
        if (!QTest::qWaitFor([&] { return student->timings.size() == 1; }, 5000))
            qWarning("student %s got no settings", qPrintable(number));
        student->pressStart();
        if (!QTest::qWaitFor([&] { return student->gotText; }, 5000))
            qWarning("student %s got no text", qPrintable(number));
        return student;
    }
    // The row holding a number (a duplicate's is not), -1 when none.
    int rowOf(const QString &number) const { return console.roster().rowOfNumber(number); }
    const StudentRow &row(const QString &number) const
    {
        return console.roster().at(console.roster().rowOfNumber(number));
    }
    int duplicateRowOf(const QString &number) const
    {
        for (int row : console.rowsOfNumbers({number}))
            if (console.roster().at(row).duplicate())
                return row;
        return -1;
    }

    qint64 skew = 0;
    QTemporaryDir results;
    TestServer server;
    ClassConsole console;
};

// The data lines of a results file, split into fields (the tests' names hold no separator).
inline QList<QStringList> csvLines(const QString &path, QByteArray *raw = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (raw)
        *raw = bytes;
    QList<QStringList> lines;
    const QStringList all = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    for (qsizetype i = 1; i < all.size(); ++i)
        if (!all.at(i).isEmpty())
            lines << all.at(i).split(u',');
    return lines;
}

// Columns of a results line.
namespace csv {
enum {
    Number,
    Name,
    Banji,
    Computer,
    InputMethod,
    State,
    Finish,
    Time,
    Count,
    Typed,
    Right,
    Backspaces,
    Speed,
    Accuracy,
    Errors,
    Marks,
    Finished,
    Grade
};
}
