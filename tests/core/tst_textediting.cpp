// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/TextEditing.h"
#include "core/TextModel.h"
#include "tests/support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

// The editing rules of the text boxes, once: the view and the typing tests both call these.
class TextEditingTest : public QObject
{
    Q_OBJECT
private slots:
    void commands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<bool>("readOnly");
        // "type", "backspace", "delete" or "commit", with its text and, for a commit, the
        // replacement around the caret.
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("replacementStart");
        QTest::addColumn<int>("replacementLength");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedCaret");
        const QString smile = QStringLiteral("a\U0001F600b"); // a, a surrogate pair, b
        const QString pair = QStringLiteral("a\r\nb");

        QTest::newRow("backspace") << "abc" << 3 << 0 << false << "backspace"
                                   << "" << 0 << 0 << "ab" << 2;
        QTest::newRow("backspace at the start") << "abc" << 0 << 0 << false << "backspace"
                                                << "" << 0 << 0 << "abc" << 0;
        QTest::newRow("backspace takes CR LF as one") << pair << 3 << 0 << false << "backspace"
                                                      << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("backspace after a lone LF") << "a\nb" << 2 << 0 << false << "backspace"
                                                   << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("backspace after a lone CR") << "a\rb" << 2 << 0 << false << "backspace"
                                                   << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("backspace between CR and LF") << pair << 2 << 0 << false << "backspace"
                                                     << "" << 0 << 0 << "a\nb" << 1;
        QTest::newRow("backspace takes a surrogate pair as one")
            << smile << 3 << 0 << false << "backspace"
            << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("backspace after a lone low surrogate")
            << QStringLiteral("a") + QChar(0xDE00) + u'b' << 2 << 0 << false << "backspace"
            << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("backspace takes the selection") << "abcd" << 1 << 2 << false << "backspace"
                                                       << "" << 0 << 0 << "ad" << 1;

        QTest::newRow("delete") << "abc" << 0 << 0 << false << "delete"
                                << "" << 0 << 0 << "bc" << 0;
        QTest::newRow("delete at the end") << "abc" << 3 << 0 << false << "delete"
                                           << "" << 0 << 0 << "abc" << 3;
        QTest::newRow("delete takes CR LF as one") << pair << 1 << 0 << false << "delete"
                                                   << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("delete takes a surrogate pair as one")
            << smile << 1 << 0 << false << "delete"
            << "" << 0 << 0 << "ab" << 1;
        QTest::newRow("delete takes the selection") << "abcd" << 1 << 2 << false << "delete"
                                                    << "" << 0 << 0 << "ad" << 1;

        QTest::newRow("typing at the caret") << "ab" << 1 << 0 << false << "type"
                                             << "x" << 0 << 0 << "axb" << 2;
        QTest::newRow("typing replaces the selection") << "abcd" << 1 << 2 << false << "type"
                                                       << "x" << 0 << 0 << "axd" << 2;
        QTest::newRow("enter") << "ab" << 1 << 0 << false << "type"
                               << "\r\n"
                               << 0 << 0 << "a\r\nb" << 3;

        QTest::newRow("commit of several characters") << "ab" << 1 << 0 << false << "commit"
                                                      << "中国人民" << 0 << 0 << "a中国人民b" << 5;
        QTest::newRow("commit replacing a syllable before the caret")
            << "abpin" << 5 << 0 << false << "commit"
            << "拼" << -3 << 3 << "ab拼" << 3;
        QTest::newRow("commit replacing past the start") << "abc" << 2 << 0 << false << "commit"
                                                         << "中" << -5 << 9 << "中" << 1;
        QTest::newRow("commit of nothing that replaces") << "abc" << 3 << 0 << false << "commit"
                                                         << "" << -1 << 1 << "ab" << 2;
        QTest::newRow("commit of nothing") << "abc" << 1 << 0 << false << "commit"
                                           << "" << 0 << 0 << "abc" << 1;
        QTest::newRow("commit over a selection ignores the replacement")
            << "abcd" << 1 << 2 << false << "commit"
            << "中" << -1 << 1 << "a中d" << 2;

        for (const char *command : {"type", "backspace", "delete", "commit"}) {
            QTest::addRow("read-only: %s", command)
                << "abc" << 1 << 0 << true << command << "x" << -1 << 1 << "abc" << 1;
        }
    }
    void commands()
    {
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        TextModel model;
        model.setText(text);
        model.select(selStart, selLength);
        QFETCH(bool, readOnly);
        model.setReadOnly(readOnly);
        QSignalSpy changed(&model, &TextModel::changed);
        if (command == u"type") {
            textediting::insertTyped(model, input);
        } else if (command == u"backspace") {
            textediting::deleteBackward(model);
        } else if (command == u"delete") {
            textediting::deleteForward(model);
        } else {
            QFETCH(int, replacementStart);
            QFETCH(int, replacementLength);
            textediting::commitInput(model, input, replacementStart, replacementLength);
        }
        QCOMPARE(model.text(), expected);
        QTEST(model.caret(), "expectedCaret");
        QCOMPARE(model.selLength(), 0);
        // One command is one change, or none.
        QCOMPARE(changed.count(), expected == text ? 0 : 1);
        // The formats follow the text (an edit that went around the model would not).
        QCOMPARE(int(model.colors().size()), model.length());
    }

    void steppingOverACharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        QTest::newRow("plain") << "abc" << 1 << 2 << 0;
        QTest::newRow("at the start") << "abc" << 0 << 1 << 0;
        QTest::newRow("at the end") << "abc" << 3 << 3 << 2;
        QTest::newRow("before and after CR LF") << "a\r\nb" << 1 << 3 << 0;
        QTest::newRow("after CR LF") << "a\r\nb" << 3 << 4 << 1;
        QTest::newRow("inside CR LF") << "a\r\nb" << 2 << 3 << 1;
        QTest::newRow("LF CR is two") << "a\n\rb" << 1 << 2 << 0;
        QTest::newRow("before a surrogate pair") << QStringLiteral("a\U0001F600b") << 1 << 3 << 0;
        QTest::newRow("after a surrogate pair") << QStringLiteral("a\U0001F600b") << 3 << 4 << 1;
        QTest::newRow("a lone high surrogate")
            << QStringLiteral("a") + QChar(0xD83D) + u'b' << 1 << 2 << 0;
        QTest::newRow("past the end") << "abc" << 9 << 3 << 2;
        QTest::newRow("before the start") << "abc" << -4 << 1 << 0;
    }
    void steppingOverACharacter()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QTEST(textediting::nextPosition(text, position), "next");
        QTEST(textediting::previousPosition(text, position), "previous");
    }
};

CLIENT_TEST(TextEditingTest)
#include "tst_textediting.moc"
