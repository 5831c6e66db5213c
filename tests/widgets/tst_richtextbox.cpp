// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/TextModel.h"
#include "tests/support/TestRegistry.h"
#include "typing/widgets/RichTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// A deterministic CJK text with a few punctuation marks.
QString cjkText(int length)
{
    const QString common =
        QStringLiteral("的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出");
    QString text;
    for (int i = 0; i < length; ++i)
        text += (i % 17 == 16) ? QChar(u'，') : common.at((i * 7) % common.size());
    return text;
}

QVariant query(QWidget &widget, Qt::InputMethodQuery what)
{
    return widget.inputMethodQuery(what);
}

void commit(RichTextBox &box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(&box, &event);
}

// Hidden widgets get their size only when shown; the layout needs the real width.
void showAt(RichTextBox &box, int width, int height)
{
    box.resize(width, height);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
}

void sendMouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

// Lines are where characters start at the left margin.
QList<int> lineStarts(const RichTextBox &box)
{
    QList<int> starts;
    const int left = box.characterRect(0).left();
    for (int i = 0; i < box.model()->text().size(); ++i) {
        if (box.characterRect(i).left() == left)
            starts.append(i);
    }
    return starts;
}

} // namespace

class RichTextBoxTest : public QObject
{
    Q_OBJECT
private slots:
    void changedIsSynchronousAndOnlyForADifferentText()
    {
        RichTextBox box;
        QSignalSpy spy(box.model(), &TextModel::changed);
        box.model()->setText(QStringLiteral("你好"));
        QCOMPARE(spy.count(), 1);
        box.model()->setText(QStringLiteral("你好"));
        QCOMPARE(spy.count(), 1);
        box.model()->setText(QString());
        QCOMPARE(spy.count(), 2);
        box.model()->setText(QString());
        QCOMPARE(spy.count(), 2);
    }

    void selectionIsClamped_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expectedStart");
        QTest::addColumn<int>("expectedLength");
        QTest::newRow("inside") << 1 << 2 << 1 << 2;
        QTest::newRow("at the end") << 5 << 1 << 5 << 0;
        QTest::newRow("past the end") << 9 << 1 << 5 << 0;
        QTest::newRow("length past the end") << 3 << 10 << 3 << 2;
        QTest::newRow("negative start") << -4 << 1 << 0 << 1;
        QTest::newRow("negative length") << 2 << -3 << 2 << 0;
    }
    void selectionIsClamped()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        RichTextBox box;
        box.model()->setText(QStringLiteral("abcde"));
        box.model()->setSelStart(start);
        box.model()->setSelLength(length);
        QTEST(box.model()->selStart(), "expectedStart");
        QTEST(box.model()->selLength(), "expectedLength");
    }

    // Each character is painted in its own colour, and the emphasis is a line the width of
    // the character under it; formatting needs no new layout, only a repaint.
    void formatsArePainted()
    {
        RichTextBox box;
        showAt(box, 400, 100);
        TextModel *m = box.model();
        m->setText(QStringLiteral("oooooo"));
        QApplication::processEvents();
        m->setFormat(1, 2, QColor(255, 0, 0), false);
        m->setFormat(3, 1, QColor(0, 0, 255), true);
        const QImage shot = box.viewport()->grab().toImage();
        enum Tint { Black, Red, Blue };
        const auto is = [](QRgb p, Tint tint) {
            const int r = qRed(p), g = qGreen(p), b = qBlue(p);
            switch (tint) {
            case Black:
                return r < 90 && g < 90 && b < 90;
            case Red:
                return r > 180 && g < 90 && b < 90;
            default:
                return b > 180 && r < 90 && g < 90;
            }
        };
        // How many pixels of the character's cell have the tint, and whether one of its rows
        // has it from edge to edge (an underline; the letter o never does).
        const auto look = [&](int position, Tint tint) {
            const QRect cell = box.characterRect(position) & shot.rect();
            int pixels = 0;
            bool fullRow = false;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                int row = 0;
                for (int x = cell.left(); x <= cell.right(); ++x)
                    row += is(shot.pixel(x, y), tint);
                pixels += row;
                fullRow = fullRow || row >= cell.width() - 2; // edges may round either way
            }
            return std::pair(pixels, fullRow);
        };
        const std::pair<int, bool> none(0, false);
        QVERIFY(look(0, Black).first > 0);
        QCOMPARE(look(0, Red), none);
        QVERIFY(look(1, Red).first > 0);
        QVERIFY(!look(1, Red).second);
        QCOMPARE(look(2, Black), none);
        QVERIFY(look(3, Blue).second);
        QCOMPARE(look(3, Red), none);
        QCOMPARE(look(4, Blue), none);
        QVERIFY(!look(5, Black).second);
    }

    void readOnlyBlocksTypingButNotTheClient()
    {
        RichTextBox box;
        box.model()->setText(QStringLiteral("ab"));
        box.model()->setSelStart(2);
        box.model()->setReadOnly(true);
        QSignalSpy spy(box.model(), &TextModel::changed);
        QTest::keyClick(&box, Qt::Key_X);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_Delete);
        QTest::keyClick(&box, Qt::Key_Return);
        commit(box, QStringLiteral("你好"));
        QCOMPARE(box.model()->text(), QStringLiteral("ab"));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!query(box, Qt::ImEnabled).toBool());
        box.model()->setText(QStringLiteral("cd"));
        QCOMPARE(box.model()->text(), QStringLiteral("cd"));
        QCOMPARE(spy.count(), 1);
        box.model()->setReadOnly(false);
        QVERIFY(query(box, Qt::ImEnabled).toBool());
    }

    void inputMethodCommitIsOneChangeAtTheCaret()
    {
        RichTextBox box;
        box.model()->setText(QStringLiteral("ab"));
        box.model()->setSelStart(1);
        QSignalSpy spy(box.model(), &TextModel::changed);
        QString seen;
        connect(box.model(), &TextModel::changed, &box, [&] { seen = box.model()->text(); });
        commit(box, QStringLiteral("中国人民"));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(seen, QStringLiteral("a中国人民b"));
        QCOMPARE(box.model()->selStart(), 5);
        QCOMPARE(box.model()->selLength(), 0);
    }

    void preeditDoesNotChangeTheText()
    {
        RichTextBox box;
        showAt(box, 300, 100);
        box.model()->setText(QStringLiteral("ab"));
        box.model()->setSelStart(2);
        QSignalSpy spy(box.model(), &TextModel::changed);
        QInputMethodEvent composing(QStringLiteral("zhong"),
                                    {{QInputMethodEvent::Cursor, 5, 1, QVariant()}});
        QApplication::sendEvent(&box, &composing);
        QCOMPARE(box.model()->text(), QStringLiteral("ab"));
        QCOMPARE(box.preeditText(), QStringLiteral("zhong"));
        QCOMPARE(spy.count(), 0);
        // The caret the input method places its window at is after the composition.
        const QRect caret = query(box, Qt::ImCursorRectangle).toRect();
        QVERIFY(caret.left() > box.characterRect(2).left() + box.viewport()->x());
        commit(box, QStringLiteral("中"));
        QCOMPARE(box.model()->text(), QStringLiteral("ab中"));
        QCOMPARE(box.preeditText(), QString());
        QCOMPARE(spy.count(), 1);
    }

    // The input method's keys never arrive as key presses: every event of it is announced, a
    // change of the composition as well as a commit, and in a read-only box too.
    void everyInputMethodEventIsAnnounced()
    {
        RichTextBox box;
        QSignalSpy used(box.model(), &TextModel::inputMethodUsed);
        for (const QString &composition : {QStringLiteral("zh"), QStringLiteral("zhong")}) {
            QInputMethodEvent composing(composition, {});
            QApplication::sendEvent(&box, &composing);
        }
        QCOMPARE(used.count(), 2);
        QCOMPARE(box.preeditText(), QStringLiteral("zhong"));
        commit(box, QStringLiteral("中"));
        QInputMethodEvent nothing;
        QApplication::sendEvent(&box, &nothing);
        box.model()->setReadOnly(true);
        commit(box, QStringLiteral("文"));
        QCOMPARE(used.count(), 5);
        QCOMPARE(box.model()->text(), QStringLiteral("中"));
    }

    void editingKeys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedCaret");
        const QList<int> none;
        QTest::newRow("backspace at end")
            << "abc" << 3 << QList<int>{Qt::Key_Backspace} << "ab" << 2;
        QTest::newRow("backspace at start")
            << "abc" << 0 << QList<int>{Qt::Key_Backspace} << "abc" << 0;
        QTest::newRow("backspace CR LF")
            << "a\r\nb" << 3 << QList<int>{Qt::Key_Backspace} << "ab" << 1;
        QTest::newRow("delete") << "abc" << 0 << QList<int>{Qt::Key_Delete} << "bc" << 0;
        QTest::newRow("delete at end") << "abc" << 3 << QList<int>{Qt::Key_Delete} << "abc" << 3;
        QTest::newRow("home then type")
            << "abc" << 3 << QList<int>{Qt::Key_Home, Qt::Key_X} << "xabc" << 1;
        QTest::newRow("end then type")
            << "abc" << 0 << QList<int>{Qt::Key_End, Qt::Key_X} << "abcx" << 4;
        QTest::newRow("left then type")
            << "abc" << 3 << QList<int>{Qt::Key_Left, Qt::Key_X} << "abxc" << 3;
        QTest::newRow("right then type")
            << "abc" << 0 << QList<int>{Qt::Key_Right, Qt::Key_X} << "axbc" << 2;
        QTest::newRow("up a line") << "ab\r\ncd" << 6 << QList<int>{Qt::Key_Up} << "ab\r\ncd" << 2;
        QTest::newRow("down a line")
            << "ab\r\ncd" << 1 << QList<int>{Qt::Key_Down} << "ab\r\ncd" << 5;
        QTest::newRow("enter") << "ab" << 1 << QList<int>{Qt::Key_Return} << "a\r\nb" << 3;
        QTest::newRow("home on second line")
            << "ab\r\ncd" << 6 << QList<int>{Qt::Key_Home} << "ab\r\ncd" << 4;
    }
    void editingKeys()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QList<int>, keys);
        RichTextBox box;
        box.resize(400, 200);
        box.model()->setText(text);
        box.model()->setSelStart(caret);
        for (int key : keys)
            QTest::keyClick(&box, Qt::Key(key));
        QTEST(box.model()->text(), "expected");
        QTEST(box.model()->selStart(), "expectedCaret");
    }

    void typingReplacesTheSelection()
    {
        RichTextBox box;
        box.model()->setText(QStringLiteral("abcd"));
        box.model()->setSelStart(1);
        box.model()->setSelLength(2);
        QSignalSpy spy(box.model(), &TextModel::changed);
        QTest::keyClick(&box, Qt::Key_X);
        QCOMPARE(box.model()->text(), QStringLiteral("axd"));
        QCOMPARE(spy.count(), 1);
    }

    void nothingIsPasted()
    {
        RichTextBox box;
        box.resize(300, 100);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QApplication::clipboard()->setText(QStringLiteral("foreign"));
        box.model()->setText(QStringLiteral("ab"));
        box.model()->setSelStart(2);
        QSignalSpy spy(box.model(), &TextModel::changed);
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
        QKeyEvent pasteKey(QEvent::KeyPress, Qt::Key_Paste, Qt::NoModifier);
        QApplication::sendEvent(&box, &pasteKey);
        QTest::mouseClick(box.viewport(), Qt::MiddleButton, {}, QPoint(10, 10));

        QMimeData mime;
        mime.setText(QStringLiteral("dropped"));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(box.viewport(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(box.viewport(), &drop);
        QVERIFY(!drop.isAccepted());

        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(10, 10),
                               box.viewport()->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(box.viewport(), &menu);
        QVERIFY(QApplication::activePopupWidget() == nullptr);

        QCOMPARE(box.model()->text(), QStringLiteral("ab"));
        QCOMPARE(spy.count(), 0);
    }

    void keyDownComesFirstWithItsCode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        const Qt::KeyboardModifiers plain;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << plain << 8 << 0;
        QTest::newRow("enter") << int(Qt::Key_Return) << plain << 13 << 0;
        QTest::newRow("end") << int(Qt::Key_End) << plain << 35 << 0;
        QTest::newRow("home") << int(Qt::Key_Home) << plain << 36 << 0;
        QTest::newRow("left") << int(Qt::Key_Left) << plain << 37 << 0;
        QTest::newRow("up") << int(Qt::Key_Up) << plain << 38 << 0;
        QTest::newRow("right") << int(Qt::Key_Right) << plain << 39 << 0;
        QTest::newRow("down") << int(Qt::Key_Down) << plain << 40 << 0;
        QTest::newRow("delete") << int(Qt::Key_Delete) << plain << 46 << 0;
        QTest::newRow("digit") << int(Qt::Key_7) << plain << 55 << 0;
        QTest::newRow("letter") << int(Qt::Key_A) << plain << 65 << 0;
        QTest::newRow("shift letter")
            << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 90 << 1;
        QTest::newRow("ctrl v") << int(Qt::Key_V) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << 86 << 2;
        QTest::newRow("ctrl shift v")
            << int(Qt::Key_V) << (Qt::ControlModifier | Qt::ShiftModifier) << 86 << 3;
        QTest::newRow("alt x") << int(Qt::Key_X) << Qt::KeyboardModifiers(Qt::AltModifier) << 88
                               << 4;
        QTest::newRow("shifted digit")
            << int(Qt::Key_Exclam) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 49 << 1;
        QTest::newRow("f5") << int(Qt::Key_F5) << plain << 116 << 0;
    }
    void keyDownComesFirstWithItsCode()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        RichTextBox box;
        box.resize(300, 100);
        box.model()->setText(QStringLiteral("ab\r\ncd"));
        box.model()->setSelStart(3);
        QList<int> codes;
        QString textAtKeyDown;
        int selStartAtKeyDown = -1;
        connect(box.model(), &TextModel::keyDown, &box, [&](int code, int shift) {
            if (code >= 16 && code <= 18)
                return; // the modifier keys themselves
            codes << code << shift;
            textAtKeyDown = box.model()->text();
            selStartAtKeyDown = box.model()->selStart();
        });
        QList<int> ups;
        connect(box.model(), &TextModel::keyUp, &box, [&](int code, int shift) {
            if (code < 16 || code > 18)
                ups << code << shift;
        });
        QTest::keyClick(&box, Qt::Key(key), modifiers);
        QCOMPARE(codes.size(), 2);
        QTEST(codes.value(0), "code");
        QTEST(codes.value(1), "shift");
        QCOMPARE(textAtKeyDown, QStringLiteral("ab\r\ncd"));
        QCOMPARE(selStartAtKeyDown, 3);
        QCOMPARE(ups, codes);
    }

    void autoRepeatRaisesKeyDownOnly()
    {
        RichTextBox box;
        box.model()->setText(QStringLiteral("abc"));
        box.model()->setSelStart(3);
        int downs = 0;
        int ups = 0;
        connect(box.model(), &TextModel::keyDown, &box, [&] { ++downs; });
        connect(box.model(), &TextModel::keyUp, &box, [&] { ++ups; });
        for (int i = 0; i < 2; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QString(), i > 0);
            QApplication::sendEvent(&box, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier, QString(),
                              true);
            QApplication::sendEvent(&box, &release);
        }
        QCOMPARE(downs, 2);
        QCOMPARE(ups, 0);
        QCOMPARE(box.model()->text(), QStringLiteral("a"));
    }

    void mouseUpReportsButtonAndShift_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::newRow("left") << Qt::LeftButton << Qt::KeyboardModifiers() << 1 << 0;
        QTest::newRow("right ctrl")
            << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier) << 2 << 2;
        QTest::newRow("middle shift")
            << Qt::MiddleButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << 4 << 1;
    }
    void mouseUpReportsButtonAndShift()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        RichTextBox box;
        box.resize(300, 100);
        QList<int> got;
        connect(box.model(), &TextModel::mouseUp, &box, [&](int b, int s, int x, int y) {
            got = {b, s, x, y};
        });
        sendMouse(box.viewport(), QEvent::MouseButtonPress, QPoint(20, 15), button, button,
                  modifiers);
        sendMouse(box.viewport(), QEvent::MouseButtonRelease, QPoint(20, 15), button, {},
                  modifiers);
        QCOMPARE(got.size(), 4);
        QTEST(got[0], "code");
        QTEST(got[1], "shift");
        QCOMPARE(got[2], 20);
        QCOMPARE(got[3], 15);
    }

    void clickPlacesTheCaretAndDragSelects()
    {
        RichTextBox box;
        showAt(box, 400, 100);
        box.model()->setText(QStringLiteral("abcdefghij"));
        const QPoint third = box.characterRect(3).topLeft() + QPoint(1, 2);
        sendMouse(box.viewport(), QEvent::MouseButtonPress, third, Qt::LeftButton, Qt::LeftButton);
        sendMouse(box.viewport(), QEvent::MouseButtonRelease, third, Qt::LeftButton, {});
        QCOMPARE(box.model()->selStart(), 3);
        QCOMPARE(box.model()->selLength(), 0);

        const QPoint from = box.characterRect(2).topLeft() + QPoint(1, 2);
        const QPoint to = box.characterRect(6).topLeft() + QPoint(1, 2);
        sendMouse(box.viewport(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(box.viewport(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        sendMouse(box.viewport(), QEvent::MouseButtonRelease, to, Qt::LeftButton, {});
        QCOMPARE(box.model()->selStart(), 2);
        QCOMPARE(box.model()->selLength(), 4);
    }

    void narrowerBoxWrapsIntoMoreLines()
    {
        RichTextBox box;
        box.setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 20));
        showAt(box, 600, 200);
        box.model()->setText(cjkText(200));
        const int wide = box.lineCount();
        box.resize(300, 200);
        QApplication::processEvents();
        QVERIFY(wide >= 2);
        QVERIFY(box.lineCount() > wide);
        QCOMPARE(lineStarts(box).size(), box.lineCount());
        for (int start : lineStarts(box))
            QVERIFY2(box.model()->text().at(start) != u'，', qPrintable(QString::number(start)));
    }

    void latinWordsStayWhole()
    {
        RichTextBox box;
        showAt(box, 200, 300);
        box.model()->setText(
            QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa "
                           "lambda mu nu xi omicron pi rho sigma tau upsilon"));
        QVERIFY(box.lineCount() > 2);
        for (int start : lineStarts(box)) {
            if (start > 0)
                QCOMPARE(box.model()->text().at(start - 1), QChar(u' '));
        }
    }

    void advancesMatchTheFont()
    {
        RichTextBox box;
        showAt(box, 1000, 100);
        const QString line = QStringLiteral("Hello, 世界！ typing 测试 123");
        box.model()->setText(line);
        QFont font = box.font();
        font.setKerning(false);
        const qreal expected = QFontMetricsF(font).horizontalAdvance(line);
        const int measured = box.characterRect(line.size()).left() - box.characterRect(0).left();
        QVERIFY2(qAbs(measured - expected) <= 1.5,
                 qPrintable(QStringLiteral("%1 vs %2").arg(measured).arg(expected)));
    }

    // Edits re-lay out only some lines; the result must equal a layout from scratch.
    void editsLayOutLikeAFreshBox()
    {
        RichTextBox edited;
        showAt(edited, 320, 200);
        QString text = cjkText(400);
        text.insert(120, QStringLiteral("\r\nword wrapping here\r\n"));
        edited.model()->setText(text);
        edited.model()->setSelStart(text.size());
        for (int i = 0; i < 30; ++i)
            commit(edited, QStringLiteral("字"));
        edited.model()->setSelStart(50);
        commit(edited, QStringLiteral("中国人民"));
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(&edited, Qt::Key_Backspace);
        edited.model()->setSelStart(125);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&edited, Qt::Key_Delete);
        QTest::keyClick(&edited, Qt::Key_Return);

        RichTextBox fresh;
        showAt(fresh, 320, 200);
        fresh.model()->setText(edited.model()->text());
        QCOMPARE(edited.lineCount(), fresh.lineCount());
        QCOMPARE(lineStarts(edited), lineStarts(fresh));
    }

    void currentCharacterIsScrolledIntoView()
    {
        RichTextBox box;
        box.resize(400, 150);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.model()->setText(cjkText(3000));
        const QRect view = box.viewport()->rect();
        for (int position : {2500, 40, 2999, 1200}) {
            // Several selection changes in one go, as the comparison makes them.
            box.model()->setSelStart(0);
            box.model()->setSelLength(box.model()->text().size());
            box.model()->setSelStart(position);
            box.model()->setSelLength(1);
            QTRY_VERIFY2(view.contains(box.characterRect(position)),
                         qPrintable(QString::number(position)));
        }
        box.ensureVisible(0);
        QCOMPARE(box.verticalScrollBar()->value(), 0);
    }

    // The reference box shows the line after the current one, so the student reads ahead:
    // moving onto the last line in view, or one below it, scrolls the next line in too.
    void theNextLineStaysInView_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("linesDown");
        QTest::newRow("onto the last line in view") << 150 << 0;
        QTest::newRow("one line below the view") << 150 << 1;
        QTest::newRow("far below the view") << 150 << 20;
        QTest::newRow("a box of two lines") << 0 << 0;
    }
    void theNextLineStaysInView()
    {
        QFETCH(int, height);
        QFETCH(int, linesDown);
        RichTextBox box;
        box.model()->setReadOnly(true);
        box.model()->setText(cjkText(3000));
        const int lineHeight = box.fontMetrics().lineSpacing();
        box.resize(400, height > 0 ? height : 2 * lineHeight + 12);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QRect view = box.viewport()->rect();
        // The first character of the last line that is wholly in view, then further down.
        int position = 0;
        while (position < 3000 && view.contains(box.characterRect(position + 1)))
            ++position;
        while (position > 0 &&
               box.characterRect(position - 1).top() == box.characterRect(position).top())
            --position;
        for (int down = 0; down < linesDown; ++down) {
            const int top = box.characterRect(position).top();
            while (position < 2999 && box.characterRect(position).top() == top)
                ++position;
        }
        box.model()->setSelStart(position);
        box.model()->setSelLength(1);
        const int nextLine = [&] {
            int p = position;
            const int top = box.characterRect(p).top();
            while (p < 2999 && box.characterRect(p).top() == top)
                ++p;
            return p;
        }();
        QTRY_VERIFY2(view.contains(box.characterRect(nextLine)),
                     qPrintable(QStringLiteral("line of %1 after %2").arg(nextLine).arg(position)));
        QVERIFY(view.contains(box.characterRect(position)));
    }

    void typingKeepsTheCaretInView()
    {
        RichTextBox box;
        box.resize(300, 120);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.model()->setText(cjkText(1000));
        box.model()->setSelStart(1000);
        commit(box, QStringLiteral("末"));
        QTRY_VERIFY(box.viewport()->rect().contains(box.characterRect(1000)));
    }

    void inputMethodSeesTheTextAroundTheCaret()
    {
        RichTextBox box;
        showAt(box, 300, 120);
        const QString text = cjkText(2000);
        box.model()->setText(text);
        box.model()->setSelStart(1000);
        const QString around = query(box, Qt::ImSurroundingText).toString();
        const int cursor = query(box, Qt::ImCursorPosition).toInt();
        QVERIFY(around.size() < 1000);
        QCOMPARE(around.left(cursor), text.mid(1000 - cursor, cursor));
        QCOMPARE(around.mid(cursor), text.mid(1000, around.size() - cursor));
        QCOMPARE(query(box, Qt::ImAbsolutePosition).toInt(), 1000);
        const QRect caret = query(box, Qt::ImCursorRectangle).toRect();
        QCOMPARE(caret.left(), box.characterRect(1000).left() + box.viewport()->x());
    }
};

CLIENT_TEST(RichTextBoxTest)
#include "tst_richtextbox.moc"
