// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/TextEditing.h"
#include "env/InputMethodSelection.h"
#include "net/Protocol.h"
#include "net/TestControl.h"
#include "tests/support/LogicEnv.h"
#include "typing/StatisticsDisplay.h"
#include "typing/TestSession.h"
#include "typing/TypingEngine.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <functional>

// A client without a window on fake services, connected, with a student's identity and a test
// text loaded the way the server loads it. The clock's period is stretched so that no real tick
// falls inside a test; ticks are run by calling Timer3_Timer. Typing goes to the typing box's
// model the way its view passes it on.
struct TypingFixture
{
    explicit TypingFixture(const QString &reference = QString(), bool load = true)
    {
        env.createLogic();
        // The result window: recorded, and open (modally) while duringResult runs.
        QObject::connect(&env.logic(), &ClientLogic::resultReady, &env.logic(),
                         [this](const TestResult &result) {
                             results << result;
                             if (duringResult)
                                 duringResult(result);
                         });
        env.fakeSocket.setState(Socket::Connected);
        c().ui.Timer4->stop();
        c().ui.Timer3->setInterval(3600 * 1000);
        c().state.strXuehao = QStringLiteral("31");
        c().state.strUserName = QStringLiteral("李明");
        c().state.strBanji = QStringLiteral("三班");
        if (load) {
            c().session->cmdread_Click();
            c().control->handleMessage(QStringLiteral("0010") + reference);
            c().ui.Timer3->stop();
        }
        env.fakeSocket.sent.clear();
    }

    Client &c() { return env.client(); }
    ClientState &s() { return env.client().state; }
    TextModel *txt1() { return env.client().ui.txt1; }
    TextModel *txt2() { return env.client().ui.txt2; }

    // An input method commit of one or several characters at once, as the box makes it.
    void commit(const QString &text) { textediting::commitInput(*txt2(), text); }
    // The same commit, waiting in the event queue until events are next processed.
    void postCommit(const QString &text)
    {
        QMetaObject::invokeMethod(
            &env.logic(), [this, text] { commit(text); }, Qt::QueuedConnection);
    }
    // Backspace as the box passes it on: the key-down first, then the box's own deletion,
    // then the key-up.
    void backspace()
    {
        TextModel *box = txt2();
        box->notifyKeyDown(8, 0);
        textediting::deleteBackward(*box);
        box->notifyKeyUp(8, 0);
    }

    QStringList progressReports() const
    {
        QStringList reports;
        for (const QString &message : env.fakeSocket.sent) {
            if (message.startsWith(QLatin1String("1099")))
                reports << message;
        }
        return reports;
    }
    // The expected report of this fixture's student for the given counts.
    QString report(int time, int count, int typed, int right, int backspaces, const QString &errors)
    {
        protocol::Report r;
        r.xuehao = QStringLiteral("31");
        r.name = QStringLiteral("李明");
        r.banji = QStringLiteral("三班");
        r.totalTime = time;
        r.txtCount = count;
        r.inputCount = typed;
        r.right = right;
        r.backspaces = backspaces;
        r.inputMethod = env.client().ui.cmbshurufa->currentText();
        r.computer = QStringLiteral("PC07");
        r.errChars = errors;
        return protocol::progressReport(r);
    }

    // The sentence of the last result shown.
    QString lastSentence() const { return results.isEmpty() ? QString() : results.last().msg; }

    LogicEnv env;
    QList<TestResult> results;
    std::function<void(const TestResult &)> duringResult;
};
