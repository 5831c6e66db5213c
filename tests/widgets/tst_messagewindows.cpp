// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/widgets/LinkLabel.h"
#include "net/TestControl.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/widgets/Form4.h"
#include "typing/widgets/Form5.h"
#include "typing/widgets/MessageWindows.h"
#include "typing/widgets/ResultDetail.h"
#include "ui/Form1.h"
#include <QScreen>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

const QString kHeading = QStringLiteral("  来自服务器的消息：");

struct Fixture
{
    Fixture()
    {
        env.createForm();
        env.client().ui.Timer4->stop();
        windows().setClock([this] { return now; });
        windows().setPracticeStarter([this](quint64, const QString &cuowu) { practices << cuowu; });
    }
    Client &c() { return env.client(); }
    MessageWindows &windows() { return env.form->windows(); }

    // Runs showMsg; `act` is run on the result window once it is the active modal window.
    // A window that `act` leaves open is closed, so no test waits for a person.
    void showResult(const QString &msg, const QString &cuowu, std::function<void(Form5 &)> act)
    {
        bool acted = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *form = qobject_cast<Form5 *>(QApplication::activeModalWidget());
            if (!form || acted)
                return;
            acted = true;
            act(*form);
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        poll.start();
        guard.start(5000);
        windows().showMsg(QStringLiteral("李明"), QStringLiteral("2026031"), QStringLiteral("三班"),
                          msg, cuowu);
        QVERIFY2(acted, "the result window was not shown modally");
    }

    TestEnv env;
    QDateTime now{QDate(2026, 3, 9), QTime(8, 5, 7)};
    QStringList practices;
};

QString errorSentence(int count)
{
    return QStringLiteral("有%1个字出现错误。如果要练习错误字符，请点击“强化练习”链接。")
        .arg(count);
}

} // namespace

class MessageWindowsTest : public QObject
{
    Q_OBJECT
private slots:
    void teacherMessagesAppendWithTimeStamps()
    {
        Fixture f;
        QVERIFY(!f.windows().form4());
        f.windows().PrintText(QStringLiteral("请注意"));
        const QString first = MessageWindows::timeStamp(f.now);
        f.now = f.now.addSecs(75);
        f.windows().PrintText(QStringLiteral("测试开始"));
        const QString second = MessageWindows::timeStamp(f.now);
        QVERIFY(first != second);

        Form4 *form = f.windows().messageWindow();
        QVERIFY(form);
        QCOMPARE(f.windows().form4(), form);
        QCOMPARE(form->Text1->toPlainText(), QStringLiteral("\n") + first + kHeading +
                                                 QStringLiteral("请注意\n") + second + kHeading +
                                                 QStringLiteral("测试开始"));
        QVERIFY(form->isVisible());
        QVERIFY(!form->isModal());
        QVERIFY(form->isWindow());
        QCOMPARE(form->windowTitle(), QStringLiteral("来自服务器的消息"));
        QVERIFY(!form->windowIcon().isNull());
        QVERIFY(form->Text1->isReadOnly());
        QCOMPARE(form->Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void timeStampCarriesDateAndSeconds()
    {
        const QDateTime when(QDate(2026, 3, 9), QTime(8, 5, 7));
        const QString stamp = MessageWindows::timeStamp(when);
        QVERIFY2(stamp.endsWith(QStringLiteral(" 8:05:07")), qPrintable(stamp));
        QVERIFY(stamp.contains(QStringLiteral("26")));
        QVERIFY(stamp != MessageWindows::timeStamp(when.addDays(1)));
    }

    void lineBreaksInAMessageStayLineBreaks()
    {
        Fixture f;
        f.windows().PrintText(QStringLiteral("一\r\n二\r三"));
        const QStringList lines = f.windows().messageWindow()->Text1->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[1].endsWith(QStringLiteral("一")));
        QCOMPARE(lines[2], QStringLiteral("二"));
        QCOMPARE(lines[3], QStringLiteral("三"));
    }

    void closingDiscardsTheMessages()
    {
        Fixture f;
        f.windows().PrintText(QStringLiteral("旧消息"));
        QPointer<Form4> first = f.windows().messageWindow();
        first->close();
        QTRY_VERIFY(first.isNull());
        QVERIFY(!f.windows().form4());
        f.windows().PrintText(QStringLiteral("新消息"));
        Form4 *second = f.windows().messageWindow();
        QVERIFY(second && second->isVisible());
        QCOMPARE(second->Text1->toPlainText(), QStringLiteral("\n") +
                                                   MessageWindows::timeStamp(f.now) + kHeading +
                                                   QStringLiteral("新消息"));
    }

    void serverMessageReachesTheWindow()
    {
        Fixture f;
        f.c().control->handleMessage(QStringLiteral("0099下课前交卷"));
        QVERIFY(f.windows().form4());
        QVERIFY(f.windows().messageWindow()->Text1->toPlainText().endsWith(
            kHeading + QStringLiteral("下课前交卷")));
    }

    void textAreaFillsTheResizedWindow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("larger") << QSize(900, 500);
        QTest::newRow("smaller") << QSize(200, 120);
    }

    void textAreaFillsTheResizedWindow()
    {
        QFETCH(QSize, size);
        Fixture f;
        f.windows().PrintText(QStringLiteral("x"));
        Form4 *form = f.windows().messageWindow();
        QCOMPARE(form->size(), QSize(f.env.form->px(11505), f.env.form->px(5955)));
        QCOMPARE(form->Text1->geometry(), form->rect());
        form->resize(size);
        QCOMPARE(form->Text1->geometry(), QRect(QPoint(0, 0), size));
    }

    void resultWindowShowsTheResult_data()
    {
        QTest::addColumn<QString>("cuowu");
        QTest::newRow("three errors") << QStringLiteral("中文字");
        QTest::newRow("no error") << QString();
    }

    void resultWindowShowsTheResult()
    {
        QFETCH(QString, cuowu);
        Fixture f;
        const Form1 &main = *f.env.form;
        bool checked = false;
        f.showResult(QStringLiteral("速度：30.0字/分"), cuowu, [&](Form5 &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("测试结果"));
            QVERIFY(form.isVisible());
            QVERIFY(form.isModal());
            QCOMPARE(form.Lname->text(), QStringLiteral("姓名：李明"));
            QCOMPARE(form.Lxuehao->text(), QStringLiteral("学号：2026031"));
            QCOMPARE(form.Lbanji->text(), QStringLiteral("班级：三班"));
            QCOMPARE(form.Lmsg->text(), QStringLiteral("速度：30.0字/分"));
            QCOMPARE(form.Label1->text(), errorSentence(int(cuowu.size())));
            QCOMPARE(form.Label2->text(), QStringLiteral("完成啦！"));
            QCOMPARE(form.Label2->palette().color(QPalette::WindowText), QColor(255, 128, 0));
            QCOMPARE(form.Label3->text(), QStringLiteral("点击这里进行强化训练"));
            QVERIFY(form.Label3->font().underline());
            QCOMPARE(form.Label3->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QCOMPARE(form.Label3->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
            // Fixed size, as designed.
            const QSize size(main.px(9840), main.px(5295));
            QCOMPARE(form.minimumSize(), size);
            QCOMPARE(form.maximumSize(), size);
            QCOMPARE(form.Image1->geometry(),
                     QRect(main.px(480), main.px(240), main.px(3150), main.px(3150)));
            QCOMPARE(form.cuowu(), cuowu);
            checked = true;
            form.Label3->clicked();
        });
        QVERIFY(checked);
        QCOMPARE(f.practices, QStringList{cuowu});
        QVERIFY(!f.windows().resultWindow());
    }

    // The detail part opens below the designed window and teaches: the speed curve, the
    // accuracy, and each mistyped character with what was typed, its codes and its roots as
    // pictures. A time limit that cut the text short gets its own caption.
    void detailPartTeaches()
    {
        Fixture f;
        TestResult result;
        result.xingming = QStringLiteral("李明");
        result.msg = QStringLiteral("已用时：1分0秒");
        result.cuowu = QStringLiteral("文");
        result.speedTenths = {600, 300, 250};
        result.accuracy = QStringLiteral("75");
        result.timeUp = true;
        result.mistakes = {Mistake{QStringLiteral("文"),
                                   QStringLiteral("问"),
                                   {QStringLiteral("YYGY")},
                                   {QStringLiteral("wén")},
                                   {41, 1}}};
        bool checked = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *form = qobject_cast<Form5 *>(QApplication::activeModalWidget());
            if (!form || checked)
                return;
            checked = true;
            QCOMPARE(form->Label2->text(), QStringLiteral("时间到！"));
            QVERIFY(form->Label3->isVisibleTo(form));
            const int designed = form->height();
            QVERIFY(!form->detailShown());
            QCOMPARE(form->Ldetail->text(), QStringLiteral("查看详细结果"));
            form->Ldetail->clicked();
            QVERIFY(form->detailShown());
            QVERIFY(form->height() > designed);
            QCOMPARE(form->Ldetail->text(), QStringLiteral("收起详细结果"));
            QCOMPARE(form->detail->curve()->speeds(), (QList<int>{600, 300, 250}));
            QCOMPARE(form->detail->accuracy()->text(), QStringLiteral("正确率：75%"));
            QCOMPARE(form->detail->rows(),
                     (QList<QStringList>{{"文", "问", "YYGY", "wén", "41 1"}}));
            // The designed part keeps its place; the window stays within the screen.
            QCOMPARE(form->Lmsg->text(), QStringLiteral("已用时：1分0秒"));
            QVERIFY(form->screen()->availableGeometry().contains(form->frameGeometry()));
            form->Ldetail->clicked();
            QCOMPARE(form->height(), designed);
            form->close();
        });
        poll.start();
        QTimer::singleShot(5000, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        f.windows().showMsg(result);
        QVERIFY(checked);
    }

    void errorSentenceCountsTheCharacters()
    {
        Fixture f;
        QString sentence;
        f.showResult(QString(), QString(12, u'错'), [&](Form5 &form) {
            sentence = form.Label1->text();
            form.close();
        });
        QCOMPARE(sentence,
                 QStringLiteral("有12个字出现错误。如果要练习错误字符，请点击“强化练习”链接。"));
        QVERIFY(f.practices.isEmpty()); // closing by the close box starts nothing
    }

    void longSentenceWrapsInsideTheLabel()
    {
        Fixture f;
        const QString longSentence = QString(400, u'长');
        f.showResult(longSentence, QStringLiteral("长"), [&](Form5 &form) {
            const QSize before = form.size();
            const QRect label = form.Lmsg->geometry();
            QVERIFY(form.Lmsg->wordWrap());
            QCOMPARE(label.width(), f.env.form->px(5415));
            QVERIFY(label.right() < form.width());
            QCOMPARE(form.size(), before);
            form.close();
        });
    }

    void linkStartsThePracticeAndClosesTheModalWindow()
    {
        // showMsg returns only after the link was clicked.
        Fixture f;
        f.env.form->show();
        bool sawWindow = false;
        QTimer::singleShot(50, [&] {
            auto *form = qobject_cast<Form5 *>(QApplication::activeModalWidget());
            if (!form)
                return;
            sawWindow = form->isVisible();
            QVERIFY(f.practices.isEmpty());
            QTest::mouseClick(form->Label3, Qt::LeftButton);
        });
        QTimer::singleShot(5000, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close(); // never hang the suite
        });
        f.windows().showMsg(QStringLiteral("李明"), QStringLiteral("1"), QStringLiteral("2"),
                            QStringLiteral("句子"), QStringLiteral("错字"));
        QVERIFY(sawWindow);
        QCOMPARE(f.practices, QStringList{QStringLiteral("错字")});
        QVERIFY(!f.windows().resultWindow());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void rightClickIsNoLinkClick()
    {
        Fixture f;
        f.showResult(QString(), QStringLiteral("错"), [&](Form5 &form) {
            QTest::mouseClick(form.Label3, Qt::RightButton);
            QCOMPARE(form.result(), 0);
            form.close();
        });
        QVERIFY(f.practices.isEmpty());
    }

    void windowClosesEvenWhenThePracticeFails()
    {
        Fixture f;
        int calls = 0;
        f.windows().setPracticeStarter([&](quint64, const QString &) {
            ++calls;
            throw std::runtime_error("no practice");
        });
        bool closed = false;
        f.showResult(QString(), QStringLiteral("错"), [&](Form5 &form) {
            f.windows().Label3_Click();
            closed = form.result() == QDialog::Accepted;
        });
        QCOMPARE(calls, 1);
        QVERIFY(closed);
        QVERIFY(!f.windows().resultWindow());
    }

    // A second result that comes while the first is on the screen never replaces it: it waits
    // and shows in a window of its own once the first has closed.
    void secondResultWhileOpenWaitsItsTurn()
    {
        Fixture f;
        QStringList shown;
        QTimer poll;
        poll.setInterval(10);
        QPointer<Form5> seen;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *form = qobject_cast<Form5 *>(QApplication::activeModalWidget());
            if (!form || form == seen)
                return;
            seen = form;
            shown << form->Lmsg->text();
            if (shown.size() == 1) {
                f.windows().showMsg(QStringLiteral("李明"), QStringLiteral("1"),
                                    QStringLiteral("2"), QStringLiteral("第二次"),
                                    QStringLiteral("乙丙"));
                shown << form->Lmsg->text();
                form->Label3->clicked();
            } else {
                form->close();
            }
        });
        poll.start();
        QTimer::singleShot(5000, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        f.windows().showMsg(QStringLiteral("李明"), QStringLiteral("1"), QStringLiteral("2"),
                            QStringLiteral("第一次"), QStringLiteral("甲"));
        QCOMPARE(shown, (QStringList{"第一次", "第一次", "第二次"}));
        QCOMPARE(f.practices, QStringList{QStringLiteral("甲")});
        QVERIFY(!f.windows().resultWindow());
    }

    void closeResultClosesTheWindow()
    {
        Fixture f;
        f.showResult(QString(), QStringLiteral("错"), [&](Form5 &form) {
            f.windows().CloseResult();
            QCOMPARE(form.result(), int(QDialog::Accepted));
        });
        QVERIFY(!f.windows().resultWindow());
        QVERIFY(f.practices.isEmpty());
    }
};

CLIENT_TEST(MessageWindowsTest)
#include "tst_messagewindows.moc"
