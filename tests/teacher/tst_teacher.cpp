// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "teacher/widgets/TeacherWindow.h"
#include "tests/server/ClassFixture.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

// The window is thin, but what it shows sorted must still reach the right students.
class TeacherWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void messageGoesToTheSelectedRowOfTheSortedTable()
    {
        ClassFixture room;
        TeacherWindow window(room.console);
        window.show();
        QVERIFY(room.console.startTest().ok());
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        const int rights[] = {10, 40, 25}; // student 2 is the fastest
        for (int i = 0; i < 3; ++i) {
            students.push_back(room.typing(QString::number(i + 1)));
            students.back()->sendProgress(students.back()->progress(60, 50, rights[i]));
        }
        QTRY_VERIFY(room.rowOf("1") >= 0 && room.rowOf("2") >= 0 && room.rowOf("3") >= 0);
        QTRY_VERIFY(room.console.roster().at(room.rowOf("3")).live.has_value());
        QTableView *table = window.table();
        // The grade stands beside the accuracy on the screen, and sorting still goes by the
        // model's columns.
        const QHeaderView *header = table->horizontalHeader();
        QCOMPARE(header->visualIndex(ClassRoster::Grade),
                 header->visualIndex(ClassRoster::Accuracy) + 1);
        QCOMPARE(header->logicalIndexAt(header->sectionViewportPosition(ClassRoster::Grade) + 1),
                 int(ClassRoster::Grade));
        table->sortByColumn(ClassRoster::Speed, Qt::DescendingOrder);
        QTRY_COMPARE(table->model()->index(0, ClassRoster::Number).data().toString(), "2");
        QCOMPARE(table->model()->index(2, ClassRoster::Number).data().toString(), "1");

        table->selectRow(0);
        QLineEdit *message = nullptr;
        for (QLineEdit *edit : window.findChildren<QLineEdit *>())
            if (edit->placeholderText() == u"给学生的消息")
                message = edit;
        QVERIFY(message);
        message->setText("请注意时间");
        QPushButton *toSelected = nullptr;
        for (QPushButton *button : window.findChildren<QPushButton *>())
            if (button->text() == u"发给选中的学生")
                toSelected = button;
        QVERIFY(toSelected);
        toSelected->click();
        QTRY_COMPARE(students[1]->messages, QStringList{"请注意时间"});
        QTest::qWait(200);
        QVERIFY(students[0]->messages.isEmpty());
        QVERIFY(students[2]->messages.isEmpty());
    }

    void setupFieldsReachTheServer()
    {
        ClassFixture room;
        TeacherWindow window(room.console);
        QPlainTextEdit *text = nullptr;
        for (QPlainTextEdit *edit : window.findChildren<QPlainTextEdit *>())
            if (!edit->isReadOnly())
                text = edit;
        QVERIFY(text);
        QComboBox *kind = nullptr;
        for (QComboBox *box : window.findChildren<QComboBox *>())
            if (box->findText("词组文本 <cz>") >= 0)
                kind = box;
        QVERIFY(kind);
        kind->setCurrentIndex(int(TestSetup::Kind::Words));
        text->setPlainText("中国\n人民");
        QVERIFY(window.applySetup());
        QCOMPARE(room.server.settings().script.textMessage().value_or(QString()),
                 QStringLiteral("0010<cz>中国 人民"));
        // A setup that makes no test is refused and leaves the server's test alone.
        text->setPlainText("  ");
        kind->setCurrentIndex(int(TestSetup::Kind::Plain));
        QVERIFY(!window.applySetup());
        QVERIFY(window.statusBar()->currentMessage().contains("设置有误"));
        QCOMPARE(room.server.settings().script.textMessage().value_or(QString()),
                 QStringLiteral("0010<cz>中国 人民"));
    }

    // A duplicate login shows in the list with both addresses; the decision buttons work on
    // the selected duplicate only; the class line and the countdown are there.
    void duplicateDecisionFromTheWindow()
    {
        ClassFixture room;
        TeacherWindow window(room.console);
        window.show();
        QVERIFY(room.console.startTest().ok());
        auto first = room.typing(QStringLiteral("5"), QStringLiteral("PC05"));
        first->sendProgress(first->progress(3, 2, 2));
        QTRY_VERIFY(room.rowOf("5") >= 0 && room.row("5").live);
        auto second = room.typing(QStringLiteral("5"), QStringLiteral("PC06"));
        second->sendProgress(second->progress(4, 3, 3));
        QTRY_VERIFY(room.duplicateRowOf("5") >= 0);
        window.refresh();
        QPushButton *keep = nullptr;
        for (QPushButton *button : window.findChildren<QPushButton *>())
            if (button->text() == u"保留原来的")
                keep = button;
        QVERIFY(keep);
        QVERIFY(!keep->isEnabled());
        QTableView *table = window.table();
        for (int r = 0; r < table->model()->rowCount(); ++r)
            if (table->model()->index(r, ClassRoster::Marks).data().toString().contains("重复登录"))
                table->selectRow(r);
        QVERIFY(keep->isEnabled());
        keep->click();
        QCOMPARE(room.console.roster().size(), 1);
        QTRY_COMPARE(second->socket.state(), QAbstractSocket::UnconnectedState);
        bool countdown = false;
        for (QLabel *label : window.findChildren<QLabel *>())
            countdown |= label->text().startsWith(QStringLiteral("剩余 "));
        QVERIFY(countdown);
    }
};

CLIENT_TEST(TeacherWindowTest)
#include "tst_teacher.moc"
