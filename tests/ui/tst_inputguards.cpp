// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/SystemPlatform.h"
#include "core/TextModel.h"
#include "env/InputMethodSelection.h"
#include "hints/HintDelay.h"
#include "net/TestControl.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "typing/widgets/RichTextBox.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// A main window on fake services, connected, with a test text loaded the way the server loads
// it; typing goes through the text box views as the student's keys and input method do.
struct MainWindowFixture
{
    explicit MainWindowFixture(const QString &reference)
    {
        env.createForm();
        env.fakeSocket.setState(Socket::Connected);
        c().ui.Timer4->stop();
        c().ui.Timer3->setInterval(3600 * 1000);
        c().session->cmdread_Click();
        c().control->handleMessage(QStringLiteral("0010") + reference);
        c().ui.Timer3->stop();
        env.fakeSocket.sent.clear();
    }

    Client &c() { return env.client(); }
    ClientState &s() { return env.client().state; }
    RichTextBox *txt1() { return env.form->widgets().txt1; }
    RichTextBox *txt2() { return env.form->widgets().txt2; }

    // An input method commit of one or several characters at once.
    void commit(const QString &text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(txt2(), &event);
    }
    void backspace() { QTest::keyClick(txt2(), Qt::Key_Backspace); }

    TestEnv env;
};

// The fixture's window shown and active, so that focus moves as it does for the student.
struct ShownFixture : MainWindowFixture
{
    explicit ShownFixture(const QString &reference)
        : MainWindowFixture(reference)
    {
        env.form->show();
        env.form->activateWindow();
        active = QTest::qWaitForWindowActive(env.form.get());
    }
    bool active = false;
};

void pressKey(QWidget *box, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              bool autoRepeat = false)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(box, &event);
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

class InputGuardsTest : public QObject
{
    Q_OBJECT
private slots:
    void ctrlVEmptiesClipboardAndSelection()
    {
        ShownFixture f(QStringLiteral("中文录入"));
        QVERIFY(f.active);
        f.commit(QStringLiteral("中"));
        f.env.clipboard.text = QStringLiteral("文录入");
        f.env.clipboard.selection = QStringLiteral("录入");
        QTest::keyClick(f.txt2(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.env.clipboard.clears, 1);
        QVERIFY(f.env.clipboard.text.isEmpty());
        QVERIFY(f.env.clipboard.selection.isEmpty());
        QCOMPARE(f.txt2()->model()->text(), QStringLiteral("中"));
        // The box is enabled again and keeps the focus, so typing goes on.
        QVERIFY(f.txt2()->isEnabled());
        QCOMPARE(QApplication::focusWidget(), f.txt2());
        f.commit(QStringLiteral("文"));
        QCOMPARE(f.txt2()->model()->text(), QStringLiteral("中文"));

        // Outside a test too; other modifiers are not this rule's business.
        f.s().IsWorking = false;
        QTest::keyClick(f.txt2(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.env.clipboard.clears, 2);
        QTest::keyClick(f.txt2(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(f.txt2(), Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(f.txt2(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(f.env.clipboard.clears, 2);
        QCOMPARE(f.txt2()->model()->text(), QStringLiteral("中文"));
    }

    void systemClipboardIsEmptiedWhoeverFilledIt()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        auto *foreign = new QMimeData;
        foreign->setText(QStringLiteral("foreign"));
        foreign->setHtml(QStringLiteral("<b>foreign</b>"));
        clipboard->setMimeData(foreign);
        SystemClipboard().clear();
        const QMimeData *now = clipboard->mimeData();
        QVERIFY(!now || now->formats().isEmpty());
        QCOMPARE(clipboard->text(), QString());
        if (clipboard->supportsSelection())
            QCOMPARE(clipboard->text(QClipboard::Selection), QString());
    }

    void inputMethodIsPulledBackOnKeysAndFocus()
    {
        ShownFixture f(QStringLiteral("中文录入"));
        QVERIFY(f.active);
        FakeInputMethodService &imes = f.env.inputMethods;
        // With an empty list there is nothing to pull back to.
        QCOMPARE(f.c().ui.cmbshurufa->count(), 0);
        QTest::keyClick(f.txt2(), Qt::Key_A);
        QVERIFY(imes.requests.isEmpty());

        imes.setDescriptions({QStringLiteral("中文 - 五笔")});
        f.c().imes->FillShurufa(QStringLiteral("五笔"));
        imes.requests.clear();
        QTest::keyClick(f.txt2(), Qt::Key_Home);
        QCOMPARE(imes.requests.size(), 1);
        QTest::keyClick(f.txt2(), Qt::Key_Backspace);
        QCOMPARE(imes.requests.size(), 2);
        f.c().ui.cmdexit->setFocus(); // enabled during a test, unlike the connect button
        imes.requests.clear();
        f.txt2()->setFocus();
        QCOMPARE(imes.requests, QStringList{QStringLiteral("im0")});
    }

    // Keys an input method keeps as composition never arrive as key presses: each change of
    // the composition pulls back, so a phrase typed after a hot key is caught before its commit.
    void compositionPullsBackBeforeTheCommit()
    {
        ShownFixture f(QStringLiteral("中文录入"));
        QVERIFY(f.active);
        FakeInputMethodService &imes = f.env.inputMethods;
        imes.setDescriptions({QString(), QStringLiteral("五笔字型"), QStringLiteral("拼音")});
        f.c().imes->FillShurufa(QStringLiteral("五笔"));
        f.c().ui.cmbshurufa->activate(1);
        QCOMPARE(imes.current, QStringLiteral("im1"));
        imes.switchAway(QStringLiteral("im2"));
        imes.activations.clear();

        QInputMethodEvent preedit(QStringLiteral("n"), {});
        QApplication::sendEvent(f.txt2(), &preedit);
        QCOMPARE(imes.activations, QStringList{QStringLiteral("im1")});
        QCOMPARE(f.txt2()->model()->text(), QString());

        imes.switchAway(QStringLiteral("im2"));
        QInputMethodEvent longer(QStringLiteral("nihao"), {});
        QApplication::sendEvent(f.txt2(), &longer);
        QCOMPARE(imes.activations.size(), 2);
        QCOMPARE(imes.current, QStringLiteral("im1"));
    }

    void referenceBoxPassesTheFocusOn()
    {
        ShownFixture f(QStringLiteral("中文录入"));
        QVERIFY(f.active);
        f.c().ui.cmdlianjie->setFocus();
        QTest::mouseClick(f.txt1()->viewport(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), f.txt2());
        f.txt1()->setFocus();
        QCOMPARE(QApplication::focusWidget(), f.txt2());
    }

    // The reference box's selection marks the current position, which the word hint reads: a
    // click in the box (during the hint pause, say) must not move it.
    void clickInTheReferenceBoxKeepsTheCurrentPosition()
    {
        ShownFixture f(QStringLiteral("<cz>中国 人民 万岁"));
        QVERIFY(f.active);
        f.c().ui.cts->setEnabled(true);
        f.c().ui.cts->setChecked(true);
        f.s().NumHintDelay = 0;
        f.commit(QStringLiteral("中国 "));
        QCOMPARE(f.txt1()->model()->selStart(), 3);
        for (const int at : {7, 0}) {
            const QPoint point = f.txt1()->characterRect(at).center();
            QTest::mouseClick(f.txt1()->viewport(), Qt::LeftButton, Qt::NoModifier, point);
            QTest::mouseDClick(f.txt1()->viewport(), Qt::LeftButton, Qt::NoModifier, point);
            QCOMPARE(f.txt1()->model()->selStart(), 3);
            QCOMPARE(f.txt1()->model()->selLength(), 1);
        }
        QCOMPARE(QApplication::focusWidget(), f.txt2());
        f.c().hints->hintStep();
        QVERIFY2(f.c().ui.LBM->text().startsWith(QStringLiteral("人民 ")),
                 qPrintable(f.c().ui.LBM->text()));
    }

    void heldBackspaceCountsEveryRepeat()
    {
        MainWindowFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中文录"));
        pressKey(f.txt2(), Qt::Key_Backspace);
        pressKey(f.txt2(), Qt::Key_Backspace, Qt::NoModifier, true);
        pressKey(f.txt2(), Qt::Key_Backspace, Qt::ShiftModifier, true);
        QCOMPARE(f.s().NumKeyBackup, 3);
        QCOMPARE(f.txt2()->model()->text(), QString());
        QCOMPARE(f.s().NumTxtInputCount, 0);
        QCOMPARE(f.s().NumNextStart, 0);
    }

    void arrowsPutTheCaretBackAtTheEnd_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("left") << int(Qt::Key_Left);
        QTest::newRow("up") << int(Qt::Key_Up);
        QTest::newRow("right") << int(Qt::Key_Right);
        QTest::newRow("down") << int(Qt::Key_Down);
    }
    void arrowsPutTheCaretBackAtTheEnd()
    {
        QFETCH(int, key);
        MainWindowFixture f(QStringLiteral("中文录入测试"));
        f.commit(QStringLiteral("中文录"));
        f.txt2()->model()->setSelStart(1);
        // While the key is down the caret is where the key put it...
        pressKey(f.txt2(), Qt::Key(key), Qt::ShiftModifier);
        QVERIFY(f.txt2()->model()->selStart() != 3 || f.txt2()->model()->selLength() != 0);
        // ...and back at the end, with nothing selected, once it is released.
        QTest::keyRelease(f.txt2(), Qt::Key(key), Qt::ShiftModifier);
        QCOMPARE(f.txt2()->model()->selStart(), 3);
        QCOMPARE(f.txt2()->model()->selLength(), 0);
    }

    void homeIsNotRedirected()
    {
        MainWindowFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中文"));
        QTest::keyClick(f.txt2(), Qt::Key_Home);
        QCOMPARE(f.txt2()->model()->selStart(), 0);
        f.commit(QStringLiteral("录"));
        QCOMPARE(f.txt2()->model()->text(), QStringLiteral("录中文"));
        // Only the position past the compared ones is coloured (录 against 文); the first two
        // keep their grey although they no longer match, while the count covers them all.
        QCOMPARE(f.txt1()->model()->charColor(0), QColor(150, 150, 150));
        QCOMPARE(f.txt1()->model()->charColor(1), QColor(150, 150, 150));
        QCOMPARE(f.txt1()->model()->charColor(2), QColor(255, 0, 0));
        QCOMPARE(f.s().errChar, QStringLiteral("录"));
        QCOMPARE(f.s().NumTxtRight, 0);
        QCOMPARE(f.s().NumNextStart, 3);
    }

    void mouseLeavesTheCaretAtTheEnd()
    {
        ShownFixture f(QStringLiteral("中文录入测试"));
        QVERIFY(f.active);
        f.commit(QStringLiteral("中文录入"));
        QWidget *view = f.txt2()->viewport();
        const QPoint first = f.txt2()->characterRect(0).center();
        const QPoint third = f.txt2()->characterRect(2).center();
        // A drag that selects, with the left button.
        sendMouse(view, QEvent::MouseButtonPress, first, Qt::LeftButton, Qt::LeftButton);
        sendMouse(view, QEvent::MouseMove, third, Qt::NoButton, Qt::LeftButton);
        QVERIFY(f.txt2()->model()->selLength() > 0);
        sendMouse(view, QEvent::MouseButtonRelease, third, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(f.txt2()->model()->selStart(), 4);
        QCOMPARE(f.txt2()->model()->selLength(), 0);
        // Any button.
        f.txt2()->model()->setSelStart(1);
        sendMouse(view, QEvent::MouseButtonPress, first, Qt::RightButton, Qt::RightButton);
        sendMouse(view, QEvent::MouseButtonRelease, first, Qt::RightButton, Qt::NoButton);
        QCOMPARE(f.txt2()->model()->selStart(), 4);
        f.commit(QStringLiteral("测"));
        QCOMPARE(f.txt2()->model()->text(), QStringLiteral("中文录入测"));
    }
};

CLIENT_TEST(InputGuardsTest)
#include "tst_inputguards.moc"
