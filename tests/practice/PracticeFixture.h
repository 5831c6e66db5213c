// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/ClientState.h"
#include "core/Figures.h"
#include "core/Gbk.h"
#include "practice/PracticeHost.h"
#include "practice/PracticeSession.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// A small root table in zone order, one row per key, as the practice tests use it.
inline QStringList sampleRows()
{
    return {QStringLiteral("G王一五戋"),     QStringLiteral("F土士二干十寸雨"),
            QStringLiteral("D大犬三古石厂"), QStringLiteral("S木丁西"),
            QStringLiteral("A工戈七艹"),     QStringLiteral("H目上止卜"),
            QStringLiteral("J日早虫刂"),     QStringLiteral("K口川"),
            QStringLiteral("L田甲四车力"),   QStringLiteral("M山由贝几"),
            QStringLiteral("T禾竹丿攵"),     QStringLiteral("R白手斤扌"),
            QStringLiteral("E月彡乃用"),     QStringLiteral("W人八亻"),
            QStringLiteral("Q金儿夕犭"),     QStringLiteral("Y言文方广"),
            QStringLiteral("U立辛六门"),     QStringLiteral("I水小氵"),
            QStringLiteral("O火米灬"),       QStringLiteral("P之宀冖礻"),
            QStringLiteral("N已己尸心羽"),   QStringLiteral("B子耳了也"),
            QStringLiteral("V女刀九臼"),     QStringLiteral("C又巴马"),
            QStringLiteral("X纟弓匕")};
}

inline QByteArray gbkLines(const QStringList &rows, const char *end = "\r\n")
{
    QByteArray bytes;
    for (const QString &row : rows)
        bytes += gbk::encode(row).bytes + end;
    return bytes;
}

// Stands in for the client's test session: a practice it begins runs until it is finished or
// left; the result and the question before leaving are recorded and answered as the test says.
class FakePracticeHost final : public PracticeHost
{
public:
    explicit FakePracticeHost(ClientState &state)
        : state(state)
    {}

    quint64 beginPractice(int roots) override
    {
        state.TotalTime = 0;
        state.resetCounters(roots);
        state.IsWorking = true;
        running = ++begun;
        return running;
    }
    bool isRunning(quint64 practice) const override { return practice != 0 && practice == running; }
    void practiceFinished(quint64 practice) override
    {
        if (!isRunning(practice))
            return;
        running = 0;
        state.IsWorking = false;
        results << figures::sentence(state.counts());
        if (duringResult)
            duringResult();
    }
    bool confirmLeave(const QString &question) override
    {
        questions << question;
        return leave;
    }
    void practiceMistake(quint64 practice, const QString &root, QChar pressed, QChar right) override
    {
        if (isRunning(practice))
            mistakes << root + pressed + right;
    }
    void practiceLeft(quint64 practice) override
    {
        if (!isRunning(practice))
            return;
        running = 0;
        state.IsWorking = false;
        ++left;
    }

    ClientState &state;
    quint64 begun = 0;
    quint64 running = 0;
    QStringList results;
    QStringList questions;
    QStringList mistakes; // root, key pressed, right key
    bool leave = false;
    int left = 0;
    std::function<void()> duringResult; // runs while the result window is open
};

// A practice window's logic with its table in a folder of its own.
struct PracticeRig
{
    explicit PracticeRig(const QStringList &rows = sampleRows(), int panelWidth = 13265)
    {
        if (!rows.isEmpty()) {
            QFile file(dir.filePath(QStringLiteral("86zg.dat")));
            file.open(QIODevice::WriteOnly);
            file.write(gbkLines(rows));
        }
        warning = session.Form_Load(dir.path(), panelWidth);
        session.Pmid_Resize(panelWidth);
    }

    // Presses the key of the root to type next until `count` more roots are accepted, as a
    // student would; a page whose next root is not shown yet is turned with a key of its own.
    void typeRoots(int count)
    {
        const int target = state.NumTxtInputCount + count;
        for (int presses = 0; state.NumTxtInputCount < target && presses < 2 * count + 2;
             ++presses) {
            const QString root = session.strip().nextRoot();
            const QChar letter =
                root.isEmpty() ? QChar(u'Z') : session.table().keyOf(root.at(0))->at(0);
            session.RTinput_KeyUp(Qt::Key_A + (letter.toUpper().unicode() - u'A'));
        }
    }

    QTemporaryDir dir;
    ClientState state;
    FakePracticeHost host{state};
    PracticeSession session{state, host};
    QString warning;
};
