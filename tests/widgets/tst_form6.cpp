// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/widgets/LinkLabel.h"
#include "net/TestControl.h"
#include "practice/widgets/Form6.h"
#include "practice/widgets/RootInputBox.h"
#include "practice/widgets/RootLabel.h"
#include "tests/practice/PracticeFixture.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/widgets/Form5.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

struct Fixture
{
    explicit Fixture(bool withTable = true)
    {
        if (withTable) {
            QFile file(env.dir.filePath(QStringLiteral("86zg.dat")));
            file.open(QIODevice::WriteOnly);
            file.write(gbkLines(sampleRows()));
        }
        env.createForm();
        env.fakeSocket.setState(7);
        c().ui.Timer4->stop();
        env.form->show();
    }
    Client &c() { return env.client(); }
    void handle(const QString &message) { c().control->handleMessage(message); }
    Form6 *form() { return env.form->practiceWindow(); }
    PracticeSession &session() { return *form()->session(); }

    // Releases the key of the root to type next.
    void answer()
    {
        const QString root = session().strip().nextRoot();
        const QChar letter =
            root.isEmpty() ? QChar(u'Z') : session().table().keyOf(root.at(0))->at(0);
        QTest::keyRelease(form()->RTinput, Qt::Key(Qt::Key_A + (letter.unicode() - u'A')));
    }

    int shownLabels()
    {
        int shown = 0;
        for (QLabel *label : form()->Lzg)
            shown += label && label->isVisibleTo(form()->Pmid) ? 1 : 0;
        return shown;
    }

    TestEnv env;
};

bool isHighlighted(const QLabel *label)
{
    return label->palette().color(QPalette::Window) == Qt::black &&
           label->palette().color(QPalette::WindowText) == Qt::white;
}

} // namespace

class Form6Test : public QObject
{
    Q_OBJECT
private slots:
    void serverOpensThePracticeInPlaceOfTheMainWindow()
    {
        Fixture f;
        f.env.fakeSocket.sent.clear();
        f.handle(QStringLiteral("0010<zg>2/30"));
        Form6 *form = f.form();
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QVERIFY(!f.env.form->isVisible());
        QCOMPARE(form->windowTitle(), QStringLiteral("字根练习"));
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
        QCOMPARE(f.env.dialogs.count(), 0);
        QCOMPARE(f.c().state.NumTxtCount, 30);
        QVERIFY(f.c().state.IsWorking);

        // The window's first size: a strip of 15 roots and a typing box of 12600 twips.
        QCOMPARE(pixelsToTwipsForTest(form, form->width()), 13665);
        QCOMPARE(f.shownLabels(), 15);
        QCOMPARE(form->RTinput->width(), form->Lzg[0]->width() * 15);
        QVERIFY(isHighlighted(form->Lzg[0]));
        QCOMPARE(form->Lzg[3]->text(), form->session()->strip().exercise().mid(3, 1));

        for (int i = 0; i < 4; ++i)
            f.answer();
        QCOMPARE(form->RTinput->text(), form->session()->strip().exercise().left(4));
        QCOMPARE(f.c().state.NumTxtRight, 4);
        QVERIFY(isHighlighted(form->Lzg[4]));
        QVERIFY(!isHighlighted(form->Lzg[3]));
    }

    void closingAsksWhileThePracticeRuns()
    {
        Fixture f;
        f.handle(QStringLiteral("0010<zg>0/10"));
        QPointer<Form6> form = f.form();
        f.env.windows.answer = [](QDialog &) { return int(QMessageBox::No); };
        form->close();
        QVERIFY(form && form->isVisible());
        QCOMPARE(f.env.dialogs.lastBox().title, QStringLiteral("确认操作"));
        QCOMPARE(f.env.dialogs.lastBox().text, QStringLiteral("正在进行测试，确实要退出吗？"));
        QCOMPARE(f.env.dialogs.lastBox().icon, int(QMessageBox::Information));
        QVERIFY(f.c().state.IsWorking);

        f.env.windows.answer = [](QDialog &) { return int(QMessageBox::Yes); };
        form->close();
        QTRY_VERIFY(!form);
        QVERIFY(f.env.form->isVisible());
        QVERIFY(!f.c().state.IsWorking);
        // The main window may now close.
        QVERIFY(f.env.form->close());
    }

    void badRequestOpensNothing_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("zone 6") << "0010<zg>6/10";
        QTest::newRow("no count") << "0010<zg>2";
        QTest::newRow("bars instead of slashes") << "0010<zg>30|10";
    }
    void badRequestOpensNothing()
    {
        QFETCH(QString, message);
        Fixture f;
        f.handle(message);
        QVERIFY(!f.form());
        QVERIFY(f.env.form->isVisible());
        QVERIFY(!f.c().state.IsWorking);
        QCOMPARE(f.env.dialogs.lastBox().icon, int(QMessageBox::Critical));
        QCOMPARE(f.env.dialogs.lastBox().title, QStringLiteral("澄岭文字录入测试系统客户端"));
        QVERIFY(!f.env.dialogs.lastBox().text.isEmpty());
    }

    void missingTableWarnsOnLoadAndTellsTheStudent()
    {
        Fixture f(false);
        f.handle(QStringLiteral("0010<zg>1/5"));
        QVERIFY(f.form());
        QCOMPARE(f.env.dialogs.count(), 2);
        QCOMPARE(f.env.dialogs.shown[0].text,
                 QStringLiteral("读取文件错误,可能是文件已丢失!       "));
        QCOMPARE(f.env.dialogs.shown[0].icon, int(QMessageBox::Warning));
        QCOMPARE(f.env.dialogs.shown[1].icon, int(QMessageBox::Information));
        QVERIFY(f.env.dialogs.shown[1].text.contains(QStringLiteral("86zg.dat")));
        QVERIFY(!f.form()->Lzg[1]);
        QCOMPARE(f.shownLabels(), 1);
        QCOMPARE(f.c().state.NumTxtCount, 0);
        // A second practice in the open window reads nothing again.
        f.handle(QStringLiteral("0010<zg>1/0"));
        QCOMPARE(f.env.dialogs.count(), 2);
    }

    // Where the table's character is one a learner types with another key (足 is typed with K,
    // but stands here for the bottom of 足 on H), the strip shows the root's glyph picture; the
    // label keeps the character as its text. Other roots show as characters.
    void misleadingRootsShowTheirGlyphPictures()
    {
        Fixture f(false);
        QVERIFY(QFile::copy(QStringLiteral(CLIENT_SOURCE_DIR "/assets/data/86zg.dat"),
                            f.env.dir.filePath(QStringLiteral("86zg.dat"))));
        f.handle(QStringLiteral("0010<zg>2/3"));
        // Zone 2 of the table: H 目且丨卜占虎上止足虍, J 日曰临早刂归虫, K 口川, L
        // 田甲囗四罒皿车力, M 山由贝冂骨几, 33 roots; the draw takes 足, 目, 且.
        const QList<int> picks{9, 1, 2};
        int next = 0;
        f.session().setRandom([&] { return picks[next++ % picks.size()] / 33.0; });
        f.handle(QStringLiteral("0010<zg>2/3"));
        Form6 *form = f.form();
        QCOMPARE(form->session()->strip().exercise(), QStringLiteral("足目且"));
        const auto label = [&](int i) { return static_cast<RootLabel *>(form->Lzg[i]); };
        QVERIFY(label(0)->showsPicture());
        QVERIFY(!label(1)->showsPicture());
        QVERIFY(label(2)->showsPicture());
        QCOMPARE(label(0)->text(), QStringLiteral("足"));

        // The picture takes the highlight: white strokes on black for the root to type next.
        QVERIFY(isHighlighted(label(0)));
        const QImage highlighted = label(0)->grab().toImage();
        int white = 0;
        for (int y = 0; y < highlighted.height(); ++y)
            for (int x = 0; x < highlighted.width(); ++x)
                white += qGray(highlighted.pixel(x, y)) > 200 ? 1 : 0;
        QVERIFY2(white > 20, qPrintable(QString::number(white)));
        QCOMPARE(qGray(highlighted.pixel(1, 1)), 0);
        f.answer();
        QVERIFY(!isHighlighted(label(0)));
        const QImage normal = label(0)->grab().toImage();
        QCOMPARE(qGray(normal.pixel(1, 1)), 255);
        QVERIFY(normal != highlighted);
    }

    // Narrowing the window pages the strip: 20 roots accepted at 15 a page, then 10 a page.
    void narrowWindowPagesTheStrip()
    {
        Fixture f;
        f.handle(QStringLiteral("0010<zg>0/40"));
        Form6 *form = f.form();
        for (int i = 0; i < 20; ++i)
            f.answer();
        const QString exercise = form->session()->strip().exercise();
        QCOMPARE(form->RTinput->text(), exercise.mid(15, 5));

        // 240 + 840 × 10 + 200 twips of strip and the panel's margins.
        form->resize(twipsForTest(form, 240 + 840 * 10 + 200 + 400 + 30), form->height());
        QCOMPARE(f.shownLabels(), 10);
        QCOMPARE(form->RTinput->text(), exercise.mid(10, 10));
        QCOMPARE(form->RTinput->width(), form->Lzg[0]->width() * 10);
        QVERIFY(isHighlighted(form->Lzg[10]));
        QVERIFY(!form->Lzg[10]->isVisibleTo(form->Pmid));

        form->resize(twipsForTest(form, 13665), form->height());
        QCOMPARE(f.shownLabels(), 15);
        QCOMPARE(form->RTinput->text(), exercise.mid(15, 5));
        QVERIFY(isHighlighted(form->Lzg[5]));
    }

    void practiceEndsWithTheResultWindow()
    {
        Fixture f;
        f.c().state.strUserName = QStringLiteral("李明");
        f.handle(QStringLiteral("0010<zg>1/3"));
        QString sentence;
        QString errors;
        QString typedMeanwhile;
        bool practiceLink = true;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *result = qobject_cast<Form5 *>(QApplication::activeModalWidget())) {
                sentence = result->Lmsg->text();
                errors = result->Label1->text();
                practiceLink = result->Label3->isVisibleTo(result);
                typedMeanwhile = f.form()->RTinput->text();
                result->close();
            }
        });
        poll.start();
        // A wrong letter first: counted for the result.
        const QString first = f.session().strip().nextRoot();
        const QChar right = f.session().table().keyOf(first.at(0))->at(0).toUpper();
        QTest::keyRelease(f.form()->RTinput, right == u'A' ? Qt::Key_B : Qt::Key_A);
        for (int i = 0; i < 3; ++i)
            f.answer();
        QVERIFY(sentence.contains(
            QStringLiteral("总字数：3个，已录入：3个，正确数：3个，退格次数：0次")));
        QCOMPARE(errors, QStringLiteral("有1个字根按错，共按错键1次。"));
        // A root practice has no characters of the main window to practise.
        QVERIFY(!practiceLink);
        // The last root already stood in the typing box while the result was shown.
        QCOMPARE(typedMeanwhile, f.session().strip().exercise());
        QVERIFY(!f.c().state.IsWorking);
        QVERIFY(f.form()->isVisible());
        // Keys after the end change nothing.
        f.answer();
        QCOMPARE(f.c().state.NumTxtInputCount, 3);
    }

    // A wrong letter shows itself: the root's label flashes red and its right key appears
    // under it for a moment; then the root is highlighted as the one to type again.
    void wrongKeyFlashesTheRootAndShowsItsKey()
    {
        Fixture f;
        f.handle(QStringLiteral("0010<zg>1/5"));
        QTRY_VERIFY(f.form()->isVisible());
        const QString first = f.session().strip().nextRoot();
        const QChar right = f.session().table().keyOf(first.at(0))->at(0).toUpper();
        QTest::keyRelease(f.form()->RTinput, right == u'A' ? Qt::Key_B : Qt::Key_A);
        const QLabel *root = f.form()->Lzg[0];
        QCOMPARE(root->palette().color(QPalette::Window), QColor(255, 0, 0));
        QVERIFY(f.form()->Lright->isVisibleTo(f.form()));
        QCOMPARE(f.form()->Lright->text(), QString(right));
        QVERIFY(f.form()->Lright->y() >= root->y() + root->height());
        QVERIFY(f.form()->Lright->y() + f.form()->Lright->height() <= f.form()->RTinput->y());
        QTRY_COMPARE_WITH_TIMEOUT(root->palette().color(QPalette::Window), QColor(Qt::black), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!f.form()->Lright->isVisibleTo(f.form()), 3000);
        QCOMPARE(f.c().state.NumTxtInputCount, 0);
    }

    void chartFollowsTheRootSwitch()
    {
        Fixture f;
        f.c().state.Zigen = false;
        f.handle(QStringLiteral("0010<zg>1/3"));
        Form6 *form = f.form();
        QVERIFY(!form->Image1->isVisibleTo(form->Pmid2));
        QVERIFY(form->Label2->isVisibleTo(form->Pmid2));
        QCOMPARE(form->Label2->text(), QStringLiteral("澄岭软件"));
        f.c().state.Zigen = true;
        form->session()->Timer1_Timer();
        QVERIFY(form->Image1->isVisibleTo(form->Pmid2));
        QCOMPARE(form->Image1->size(), form->Pmid2->size());
    }

    void typingBoxTakesNoTyping()
    {
        Fixture f;
        f.handle(QStringLiteral("0010<zg>1/3"));
        RootInputBox *box = f.form()->RTinput;
        QVERIFY(!box->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(box->isReadOnly());
        QTest::keyClicks(box, QStringLiteral("zz"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());

        // A held key repeats its release; only the real release is judged.
        const QString root = f.session().strip().nextRoot();
        const int key = Qt::Key_A + (f.session().table().keyOf(root.at(0))->at(0).unicode() - u'A');
        QKeyEvent repeat(QEvent::KeyRelease, key, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(box, &repeat);
        QCOMPARE(f.c().state.NumTxtInputCount, 0);
        QTest::keyRelease(box, Qt::Key(key));
        QCOMPARE(f.c().state.NumTxtInputCount, 1);
        QCOMPARE(box->cursorPosition(), 1);
    }

    void windowTooShortKeepsTheLowerPanel()
    {
        Fixture f;
        f.handle(QStringLiteral("0010<zg>1/3"));
        Form6 *form = f.form();
        const QSize lower = form->Pmid2->size();
        form->resize(form->width(), 100);
        QCOMPARE(form->Pmid2->size(), lower);
    }

private:
    static int pixelsToTwipsForTest(const QWidget *widget, int pixels)
    {
        return qRound(pixels * 1440.0 / widget->logicalDpiX());
    }
    static int twipsForTest(const QWidget *widget, int twips)
    {
        return qRound(twips * widget->logicalDpiX() / 1440.0);
    }
};

CLIENT_TEST(Form6Test)

#include "tst_form6.moc"
