// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Blanks.h"
#include "core/ChoiceList.h"
#include "core/StatusPanels.h"
#include "core/TextModel.h"
#include "tests/support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

// The models the handlers work on instead of widgets: what they keep and what they announce.
class ModelsTest : public QObject
{
    Q_OBJECT
private slots:
    void editsTakeTheFormatBeforeThem()
    {
        TextModel box;
        box.setText(QStringLiteral("abcd"));
        box.setFormat(1, 2, QColor(255, 0, 0), true);
        box.replace(3, 0, QStringLiteral("xy")); // after the red "c"
        QCOMPARE(box.text(), QStringLiteral("abcxyd"));
        QCOMPARE(box.charColor(3), QColor(255, 0, 0));
        QVERIFY(box.charEmphasis(4));
        QCOMPARE(box.charColor(5), QColor(TextModel::kDefaultColor));
        QCOMPARE(box.caret(), 5);
        box.replace(0, 0, QStringLiteral("z")); // at the start: the format after it
        QCOMPARE(box.charColor(0), QColor(TextModel::kDefaultColor));
        // A range beyond the text is clamped, never read past the end.
        box.replace(5, 99, QString());
        QCOMPARE(box.text(), QStringLiteral("zabcx"));
        QCOMPARE(int(box.colors().size()), 5);
        QCOMPARE(int(box.emphasis().size()), 5);
        // A new text starts plain.
        box.setText(QStringLiteral("中文录入"));
        QCOMPARE(box.charColor(2), QColor(TextModel::kDefaultColor));
        QVERIFY(!box.charEmphasis(2));
    }

    void viewsHearOfAnEditBeforeHandlers()
    {
        TextModel box;
        box.setText(QStringLiteral("ab"));
        QStringList order;
        connect(&box, &TextModel::aboutToEdit, this, [&] { order << "about"; });
        connect(&box, &TextModel::edited, this, [&](int from, int removed, int inserted) {
            order << QStringLiteral("edited %1 %2 %3").arg(from).arg(removed).arg(inserted);
        });
        connect(&box, &TextModel::changed, this,
                [&](const QString &text) { order << "changed " + text; });
        box.replace(1, 1, QStringLiteral("中文"));
        QCOMPARE(order, (QStringList{"about", "edited 1 1 2", "changed a中文"}));

        // The same characters again only move the caret: no change to handle.
        order.clear();
        box.setSelStart(0);
        box.replace(1, 2, QStringLiteral("中文"));
        QVERIFY(order.isEmpty());
        QCOMPARE(box.caret(), 3);

        // Only a different text is a change.
        box.setText(QStringLiteral("a中文"));
        QVERIFY(order.isEmpty());
        box.setText(QString());
        QCOMPARE(order, QStringList{"changed "});
    }

    void selectionIsClamped_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::newRow("inside") << 1 << 2 << 1 << 2;
        QTest::newRow("past the end") << 2 << 10 << 2 << 2;
        QTest::newRow("start past the end") << 9 << 1 << 4 << 0;
        QTest::newRow("negative start") << -3 << 1 << 0 << 1;
        QTest::newRow("negative length") << 2 << -1 << 2 << 0;
    }
    void selectionIsClamped()
    {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        TextModel box;
        box.setText(QStringLiteral("中文录入"));
        box.setSelStart(start);
        box.setSelLength(length);
        QCOMPARE(box.selStart(), selStart);
        QCOMPARE(box.selLength(), selLength);
        // Both at once clamp the same way.
        TextModel other;
        other.setText(box.text());
        other.select(start, length);
        QCOMPARE(other.selStart(), selStart);
        QCOMPARE(other.selLength(), selLength);
    }

    void aSelectionThatStaysRaisesNothing()
    {
        TextModel box;
        box.setText(QStringLiteral("中文录入"));
        QSignalSpy about(&box, &TextModel::selectionAboutToChange);
        QSignalSpy changed(&box, &TextModel::selectionChanged);
        box.select(2, 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 2);
        QCOMPARE(changed.at(0).at(1).toInt(), 3);
        box.select(2, 1);
        box.setSelLength(1);
        QCOMPARE(about.count(), 1);
        QCOMPARE(changed.count(), 1);
        // Past the end it is clamped to where it already is: no move either.
        box.select(4, 0);
        box.select(9, 1);
        box.setSelStart(4);
        QCOMPARE(about.count(), 2);
        QCOMPARE(changed.count(), 2);
    }

    void setFormatChangesOnlyWhatDiffers_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("emphasis");
        // The characters formatted, and the range formatChanged reports (none: -1).
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changedFrom");
        QTest::addColumn<int>("changedTo");
        // The box starts as "..RRE.": 2-3 red, 4 red with emphasis.
        QTest::newRow("all of it") << 0 << 6 << false << "RRRRRR" << 0 << 6;
        QTest::newRow("already so") << 2 << 2 << false << "..RRE." << -1 << -1;
        QTest::newRow("narrowed to what differs") << 1 << 4 << false << ".RRRR." << 1 << 5;
        QTest::newRow("emphasis alone differs") << 3 << 1 << true << "..REE." << 3 << 4;
        QTest::newRow("past the end") << 5 << 10 << false << "..RRER" << 5 << 6;
        QTest::newRow("starting past the end") << 6 << 1 << false << "..RRE." << -1 << -1;
        QTest::newRow("negative start") << -3 << 4 << false << "RRRRE." << 0 << 2;
        QTest::newRow("negative length") << 1 << -2 << false << "..RRE." << -1 << -1;
    }
    void setFormatChangesOnlyWhatDiffers()
    {
        QFETCH(int, from);
        QFETCH(int, length);
        QFETCH(bool, emphasis);
        QFETCH(QString, expected);
        const QColor red(255, 0, 0);
        TextModel box;
        box.setText(QStringLiteral("中文录入测试"));
        box.setFormat(2, 3, red, false);
        box.setFormat(4, 1, red, true);
        box.select(0, 1);
        QSignalSpy spy(&box, &TextModel::formatChanged);
        box.setFormat(from, length, red, emphasis);
        // One letter per character: '.' plain, 'R' red, 'E' red with emphasis.
        QString got;
        for (int i = 0; i < box.length(); ++i)
            got += box.charColor(i) != red ? u'.' : box.charEmphasis(i) ? u'E' : u'R';
        QCOMPARE(got, expected);
        QFETCH(int, changedFrom);
        QCOMPARE(spy.count(), changedFrom < 0 ? 0 : 1);
        if (changedFrom >= 0) {
            QCOMPARE(spy.at(0).at(0).toInt(), changedFrom);
            QTEST(spy.at(0).at(1).toInt(), "changedTo");
        }
        // Formatting leaves the selection alone.
        QCOMPARE(box.selStart(), 0);
        QCOMPARE(box.selLength(), 1);
    }

    void choicesKeepACurrentEntry()
    {
        ChoiceList list;
        QCOMPARE(list.currentIndex(), -1);
        list.addItem(QStringLiteral("英语（美国）"));
        QCOMPARE(list.currentIndex(), 0); // the first entry becomes current
        list.addItem(QStringLiteral("拼音"));
        QCOMPARE(list.currentIndex(), 0);
        QSignalSpy activated(&list, &ChoiceList::activated);
        list.activate(1);
        QCOMPARE(list.currentText(), QStringLiteral("拼音"));
        QCOMPARE(activated.count(), 1);
        list.setCurrentIndex(5);
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(list.currentText(), QString());
        list.clear();
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.itemText(0), QString());
    }

    void statusPanelsBuildTheirTexts()
    {
        StatusPanels panels;
        QSignalSpy changed(&panels, &StatusPanels::panelChanged);
        panels.showIdentity(QStringLiteral("李明"), QStringLiteral("31"), QStringLiteral("三班"));
        panels.showComputer(QStringLiteral("PC07"));
        QCOMPARE(panels.panelText(2), QStringLiteral("姓名：李明"));
        QCOMPARE(panels.panelText(3), QStringLiteral("学号：31"));
        QCOMPARE(panels.panelText(4), QStringLiteral("班级：三班"));
        QCOMPARE(panels.panelText(5), QStringLiteral("计算机名：PC07"));
        QCOMPARE(changed.count(), 4);
        panels.showConnection(7, QStringLiteral("10.0.0.5"), 10000);
        QCOMPARE(panels.panelText(1), QStringLiteral("已连接到10.0.0.5，端口：10000"));
        panels.showConnection(12, QStringLiteral("10.0.0.5"), 10000); // no text: kept
        QCOMPARE(panels.panelText(1), QStringLiteral("已连接到10.0.0.5，端口：10000"));
        panels.setPanelText(6, QStringLiteral("x"));
        panels.setPanelText(0, QStringLiteral("x"));
        QCOMPARE(panels.panelText(6), QString());
        QCOMPARE(changed.count(), 5);
    }

    void blanks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::addColumn<QString>("spacesOnly");
        QTest::newRow("spaces") << "  中 文  "
                                << "中 文"
                                << "中 文";
        QTest::newRow("tabs") << "\t中文 \t"
                              << "中文"
                              << "\t中文 \t";
        QTest::newRow("full-width space stays") << "\u3000中文\u3000"
                                                << "\u3000中文\u3000"
                                                << "\u3000中文\u3000";
        QTest::newRow("line break stays") << " 中\r\n"
                                          << "中\r\n"
                                          << "中\r\n";
        QTest::newRow("only blanks") << " \t "
                                     << ""
                                     << "\t";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
    }
    void blanks()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QFETCH(QString, spacesOnly);
        QCOMPARE(blanks::trimmed(text), trimmed);
        QCOMPARE(blanks::trimmed(text, blanks::Set::SpacesOnly), spacesOnly);
        // The settings file trims its raw bytes by the same rule.
        QCOMPARE(blanks::trimmed(text.toUtf8()), trimmed.toUtf8());
    }
};

CLIENT_TEST(ModelsTest)
#include "tst_models.moc"
