// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A teacher's message during a test: the student goes on typing. The message window opens
// without the keyboard and clear of the typing box; between tests it opens as the active
// window. The keyboard is checked on a real X server with a window manager.
#include "core/Client.h"
#include "core/TextModel.h"
#include "net/TestControl.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "typing/widgets/Form4.h"
#include "typing/widgets/MessageWindows.h"
#include "typing/widgets/RichTextBox.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

namespace {

struct Fixture
{
    explicit Fixture(bool testRunning)
    {
        env.createForm();
        env.fakeSocket.setState(Socket::Connected);
        c().ui.Timer4->stop();
        c().ui.Timer3->setInterval(3600 * 1000);
        if (testRunning) {
            c().session->cmdread_Click();
            c().control->handleMessage(QStringLiteral("0010春眠不觉晓处处闻啼鸟"));
        }
        env.form->show();
        env.form->activateWindow();
        active = QTest::qWaitForWindowActive(env.form.get());
        env.form->widgets().txt2->setFocus();
    }
    Client &c() { return env.client(); }
    RichTextBox *txt2() { return env.form->widgets().txt2; }
    Form4 *messages() { return env.form->windows().messageWindow(); }

    // What the keyboard gives next goes to whatever has the focus now.
    void typeNext(const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        if (QWidget *target = QApplication::focusWidget())
            QApplication::sendEvent(target, &event);
    }

    TestEnv env;
    bool active = false;
};

QRect globalRect(const QWidget *widget)
{
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

} // namespace

class TeacherMessageTest : public QObject
{
    Q_OBJECT
private slots:
    // The message opens clear of the code hint, the reference text and the typing box, on the
    // screen.
    void messageStandsClearOfTheText()
    {
        Fixture f(true);
        f.c().control->handleMessage(QStringLiteral("0099请注意标点符号也要输入。"));
        QVERIFY(f.messages() && f.messages()->isVisible());
        const QRect message = f.messages()->frameGeometry();
        const MainWidgets &w = f.env.form->widgets();
        for (const QWidget *box : {static_cast<QWidget *>(w.txt1), static_cast<QWidget *>(w.txt2),
                                   static_cast<QWidget *>(w.cts), static_cast<QWidget *>(w.LBM)})
            QVERIFY2(!message.intersects(globalRect(box)),
                     qPrintable(QStringLiteral("message %1,%2 %3x%4 over %5")
                                    .arg(message.x())
                                    .arg(message.y())
                                    .arg(message.width())
                                    .arg(message.height())
                                    .arg(box->metaObject()->className())));
        QVERIFY(f.env.form->screen()->availableGeometry().contains(message));
        // Three lines of messages at least.
        QVERIFY(f.messages()->Text1->viewport()->height() >=
                3 * f.messages()->Text1->fontMetrics().lineSpacing() - 4);
    }

    // What the student types after the message still reaches the typing box. Needs a window
    // manager: the tests' own platform activates every window it shows.
    void messageDuringATestLeavesTheKeyboardToTheTypingBox()
    {
        // The tests' own platform activates every window it shows: this needs a real window
        // manager, which the realenv_teacher_message session starts.
        if (const QString missing = realsession::missingOpenbox(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        Fixture f(true);
        QVERIFY(f.active);
        QVERIFY(f.c().state.IsWorking);
        f.typeNext(QStringLiteral("春眠"));
        f.c().control->handleMessage(QStringLiteral("0099请注意标点符号也要输入。"));
        QVERIFY(f.messages() && f.messages()->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(f.messages()));
        // Give the window manager the time to activate the new window if it were going to.
        QTest::qWait(300);
        QCOMPARE(QApplication::activeWindow(), f.env.form.get());
        QCOMPARE(QApplication::focusWidget(), f.txt2());
        f.typeNext(QStringLiteral("不"));
        QCOMPARE(f.txt2()->model()->text(), QStringLiteral("春眠不"));

        // A second message goes into the same window, still without the keyboard.
        f.c().control->handleMessage(QStringLiteral("0099还有两分钟"));
        QTest::qWait(300);
        QCOMPARE(QApplication::activeWindow(), f.env.form.get());
        QCOMPARE(QApplication::focusWidget(), f.txt2());
    }

    void messageBetweenTestsOpensActive()
    {
        Fixture f(false);
        QVERIFY(f.active);
        QVERIFY(!f.c().state.IsWorking);
        f.c().control->handleMessage(QStringLiteral("0099下课前交卷"));
        QVERIFY(f.messages());
        QVERIFY(QTest::qWaitForWindowActive(f.messages()));
    }
};

CLIENT_TEST(TeacherMessageTest)
#include "tst_teachermessage.moc"
