#pragma once

#include "TestEnv.h"
#include "core/Client.h"
#include "env/InputMethodSelection.h"
#include "net/Protocol.h"
#include "net/TestControl.h"
#include "typing/widgets/RichTextBox.h"
#include "typing/TestClock.h"
#include "typing/TypingEngine.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QTest>
#include <QTimer>

// A main window on fake services, connected, with a student's identity and a test text loaded
// the way the server loads it. The clock's period is stretched so that no real tick falls
// inside a test; ticks are run by calling Timer3_Timer.
struct TypingFixture
{
    explicit TypingFixture(const QString &reference = QString(), bool load = true)
    {
        env.createForm();
        env.fakeSocket.setState(Socket::Connected);
        c().ui.Timer4->stop();
        c().ui.Timer3->setInterval(3600 * 1000);
        c().state.strXuehao = QStringLiteral("31");
        c().state.strUserName = QStringLiteral("李明");
        c().state.strBanji = QStringLiteral("三班");
        if (load) {
            c().control->cmdread_Click();
            c().control->handleMessage(QStringLiteral("0010") + reference);
            c().ui.Timer3->stop();
        }
        env.fakeSocket.sent.clear();
    }

    Client &c() { return env.client(); }
    ClientState &s() { return env.client().state; }
    RichTextBox *txt1() { return env.client().ui.txt1; }
    RichTextBox *txt2() { return env.client().ui.txt2; }

    // An input method commit of one or several characters at once.
    void commit(const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(txt2(), &event);
    }
    // The same commit, waiting in the event queue until events are next processed.
    void postCommit(const QString &text)
    {
        auto *event = new QInputMethodEvent;
        event->setCommitString(text);
        QCoreApplication::postEvent(txt2(), event);
    }
    void backspace() { QTest::keyClick(txt2(), Qt::Key_Backspace); }

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

    TestEnv env;
};
