// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"
#include "tests/typing/TypingFixture.h"

namespace {

const QColor kGrey(150, 150, 150);
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);

// The colour of each reference position as a letter: g grey, r red, b blue, k black.
QString colours(TextModel *box)
{
    QString letters;
    for (int i = 0; i < box->text().size(); ++i) {
        const QColor c = box->charColor(i);
        letters += c == kGrey    ? u'g'
                   : c == kRed   ? u'r'
                   : c == kBlue  ? u'b'
                   : c == kBlack ? u'k'
                                 : u'?';
    }
    return letters;
}

// Positions that carry the emphasis.
QList<int> emphasised(TextModel *box)
{
    QList<int> positions;
    for (int i = 0; i < box->text().size(); ++i) {
        if (box->charEmphasis(i))
            positions << i;
    }
    return positions;
}

} // namespace

class TypingEngineTest : public QObject
{
    Q_OBJECT
private slots:
    void commitsAreComparedAndColouredInBothBoxes()
    {
        TypingFixture f(QStringLiteral("中文录入测试"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("bkkkkk"));
        QVERIFY(!f.c().ui.Timer3->isActive());

        f.commit(QStringLiteral("中"));
        QVERIFY(f.c().ui.Timer3->isActive()); // the first change starts the clock
        QCOMPARE(colours(f.txt1()), QStringLiteral("gbkkkk"));
        QCOMPARE(colours(f.txt2()), QStringLiteral("g"));
        QCOMPARE(emphasised(f.txt1()), QList<int>{1});
        QCOMPARE(f.txt1()->selStart(), 1);
        QCOMPARE(f.s().NumNextStart, 1);

        // One commit of three characters: wrong, right, wrong.
        f.commit(QStringLiteral("闻录人"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("grgrbk"));
        QCOMPARE(colours(f.txt2()), QStringLiteral("grgr"));
        QCOMPARE(emphasised(f.txt1()), QList<int>{4});
        QCOMPARE(f.txt1()->selStart(), 4);
        QCOMPARE(f.txt2()->selStart(), 4);
        QCOMPARE(f.txt2()->selLength(), 0);
        QCOMPARE(f.s().NumNextStart, 4);
        // The reference characters are recorded, never the typed ones.
        QCOMPARE(f.s().errChar, QStringLiteral("文入"));
        QCOMPARE(f.s().cuowu, f.s().errChar);
        QCOMPARE(f.s().NumTxtInputCount, 4);
        QCOMPARE(f.s().NumTxtRight, 2);
        QCOMPARE(f.s().NumTxtCount, 6);
        QVERIFY(f.s().IsWorking);
        QVERIFY(f.progressReports().isEmpty());
        // Every change restarts the hint pause and pulls the input method back.
        QVERIFY(f.s().IsHintPending);
    }

    void inputMethodIsPulledBackOnEveryChange()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.env.inputMethods.setDescriptions(
            {QStringLiteral("美式键盘"), QStringLiteral("中文(简体) - 五笔")});
        f.c().imes->FillShurufa(QStringLiteral("五笔"));
        f.c().ui.cmbshurufa->setCurrentIndex(1);
        f.c().imes->cmbshurufa_Click();
        // The student switched away with the desktop's hot key.
        f.env.inputMethods.switchAway(QStringLiteral("im0"));
        f.env.inputMethods.activations.clear();
        f.commit(QStringLiteral("中文"));
        QCOMPARE(f.env.inputMethods.activations, QStringList{QStringLiteral("im1")});
    }

    void aCharacterMistypedAgainIsRecordedOnce()
    {
        TypingFixture f(QStringLiteral("的是的是在的"));
        f.commit(QStringLiteral("地"));
        f.commit(QStringLiteral("是"));
        f.commit(QStringLiteral("得市"));
        QCOMPARE(f.s().errChar, QStringLiteral("的是"));
        // Corrected by Backspace and retyped right: it stays recorded.
        f.backspace();
        f.commit(QStringLiteral("是"));
        f.commit(QStringLiteral("再"));
        QCOMPARE(f.s().errChar, QStringLiteral("的是在"));
        QCOMPARE(f.s().cuowu, QStringLiteral("的是在"));
        QCOMPARE(f.s().NumTxtRight, 2);
    }

    void backspaceMovesTheMarkBackAndComparesNothing()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中闻"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("grbk"));
        f.backspace();
        QCOMPARE(f.txt2()->text(), QStringLiteral("中"));
        QCOMPARE(f.s().NumKeyBackup, 1);
        QCOMPARE(f.s().NumNextStart, 1);
        // Position 2 is current again; the old mark at 3 is gone.
        QCOMPARE(colours(f.txt1()), QStringLiteral("gbkk"));
        QCOMPARE(emphasised(f.txt1()), QList<int>{1});
        QCOMPARE(f.s().NumTxtInputCount, 1);
        QCOMPARE(f.s().NumTxtRight, 1);

        // Retyped right: one more right, same count typed, the Backspace stays counted.
        f.commit(QStringLiteral("文"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("ggbk"));
        QCOMPARE(f.s().NumTxtRight, 2);
        QCOMPARE(f.s().NumTxtInputCount, 2);
        QCOMPARE(f.s().NumKeyBackup, 1);
        QCOMPARE(f.s().errChar, QStringLiteral("文"));
    }

    void backspaceInAnEmptyBox()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.backspace();
        f.backspace();
        QCOMPARE(f.s().NumKeyBackup, 2);
        // Nothing was deleted, so no change: the mark stays off until the next change.
        QCOMPARE(colours(f.txt1()), QStringLiteral("kk"));
        QVERIFY(emphasised(f.txt1()).isEmpty());
        f.commit(QStringLiteral("中"));
        f.backspace();
        QCOMPARE(f.txt2()->text(), QString());
        QCOMPARE(colours(f.txt1()), QStringLiteral("bk"));
        QCOMPARE(emphasised(f.txt1()), QList<int>{0});
        QCOMPARE(f.s().NumKeyBackup, 3);
    }

    // The box deletes a line break or a character outside the BMP in one step; the bookkeeping
    // around the Backspace follows the real deletion, not one code unit.
    void backspaceOverAPairIsOneStep_data()
    {
        QTest::addColumn<QString>("pair");
        QTest::newRow("CR LF") << QStringLiteral("\r\n");
        QTest::newRow("surrogate pair") << QStringLiteral("\U00020000");
    }
    void backspaceOverAPairIsOneStep()
    {
        QFETCH(QString, pair);
        TypingFixture f(QStringLiteral("中") + pair + QStringLiteral("文"));
        f.commit(QStringLiteral("中") + pair);
        QCOMPARE(f.s().NumNextStart, 3);
        QCOMPARE(emphasised(f.txt1()), QList<int>{3});
        f.backspace();
        QCOMPARE(f.txt2()->text(), QStringLiteral("中"));
        QCOMPARE(f.s().NumKeyBackup, 1);
        QCOMPARE(f.s().NumNextStart, 1);
        QCOMPARE(f.s().NumTxtInputCount, 1);
        QCOMPARE(f.s().NumTxtRight, 1);
        // The mark is back at the first half of the pair, where the word hint looks.
        QCOMPARE(emphasised(f.txt1()), QList<int>{1});
        QCOMPARE(f.txt1()->selStart(), 1);
        QCOMPARE(f.txt1()->selLength(), 1);
        QCOMPARE(f.txt1()->charColor(1), kBlue);
        QCOMPARE(f.txt1()->charColor(3), kBlack);

        f.commit(pair);
        QCOMPARE(colours(f.txt1()), QStringLiteral("gggb"));
        QCOMPARE(f.s().NumTxtRight, 3);
        QVERIFY(f.s().errChar.isEmpty());
    }

    void backspaceOutsideATestIsNotCounted()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中"));
        f.s().IsWorking = false;
        f.backspace();
        QCOMPARE(f.s().NumKeyBackup, 0);
        // Outside a test the old mark is not taken off; the change still marks the new position.
        QCOMPARE(f.txt2()->text(), QString());
        QCOMPARE(colours(f.txt1()), QStringLiteral("bb"));
        QCOMPARE(f.s().NumNextStart, 0);
    }

    void typingTheLastCharacterEndsTheTest()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中"));
        f.s().TotalTime = 4;
        f.commit(QStringLiteral("闻"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("gr"));
        QCOMPARE(colours(f.txt2()), QStringLiteral("gr"));
        QCOMPARE(f.s().errChar, QStringLiteral("文"));
        // One extra tick: the final report carries one second more than the clock counted.
        QCOMPARE(f.s().TotalTime, 5);
        QCOMPARE(f.progressReports(), QStringList{f.report(5, 2, 2, 1, 0, QStringLiteral("文"))});
        QVERIFY(!f.c().ui.Timer3->isActive());
        QCOMPARE(int(f.results.size()), 1);
        QCOMPARE(f.lastSentence(),
                 QStringLiteral("已用时：0分5秒，总字数：2个，已录入：2个，正确数：1个，"
                                "退格次数：0次，平均速度：12.0字/分钟"));
        QVERIFY(!f.s().IsWorking);
        QVERIFY(f.txt2()->isReadOnly());

        // The locked box takes no more typing.
        f.commit(QStringLiteral("多"));
        QCOMPARE(f.txt2()->text(), QStringLiteral("中闻"));
        QCOMPARE(int(f.results.size()), 1);
    }

    void aCommitPastTheEndColoursNothingAndEndsTheTest()
    {
        const QString reference = QStringLiteral("一二三四五六七八九十");
        TypingFixture f(reference);
        f.commit(reference.left(8));
        QCOMPARE(colours(f.txt1()), QStringLiteral("ggggggggbk"));
        // A four-character word whose first two characters are right, then two more.
        f.commit(QStringLiteral("九十百千"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("ggggggggbk"));
        QCOMPARE(f.s().NumNextStart, 8);
        QVERIFY(f.s().errChar.isEmpty());
        QCOMPARE(f.s().NumTxtInputCount, 12);
        QCOMPARE(f.s().NumTxtRight, 10);
        QCOMPARE(f.s().NumTxtCount, 10);
        QVERIFY(!f.s().IsWorking);
        QCOMPARE(int(f.results.size()), 1);
        QCOMPARE(f.progressReports().size(), 1);
    }

    void anEmptyTextEndsAtTheFirstChange()
    {
        TypingFixture f{QString()};
        QVERIFY(f.s().IsWorking);
        f.commit(QStringLiteral("中"));
        QVERIFY(!f.s().IsWorking);
        QCOMPARE(f.s().TotalTime, 1);
        QCOMPARE(f.progressReports(), QStringList{f.report(1, 0, 1, 0, 0, QString())});
        QCOMPARE(int(f.results.size()), 1);
    }

    void practiceNeverReportsAndKeepsTheBoxOpen()
    {
        TypingFixture f(QStringLiteral("中文录入"));
        f.commit(QStringLiteral("中闻录人"));
        QCOMPARE(f.s().cuowu, QStringLiteral("文入"));
        QVERIFY(!f.s().IsWorking);
        f.env.fakeSocket.sent.clear();
        f.s().MaxTime = 10;

        // The practice link of the result window.
        f.c().session->rst(f.s().cuowu);
        QVERIFY(f.s().IsReStart);
        QVERIFY(f.s().IsWorking);
        QVERIFY(f.c().ui.Timer3->isActive()); // from now, not from the first keystroke
        QVERIFY(!f.txt2()->isReadOnly());
        QCOMPARE(f.txt2()->text(), QString());
        QCOMPARE(f.txt1()->text(), QStringLiteral("文入"));
        QCOMPARE(colours(f.txt1()), QStringLiteral("bk"));
        QCOMPARE(emphasised(f.txt1()), QList<int>{0});
        // No limit during the practice; the teacher's limit stays for the next test.
        QCOMPARE(f.c().session->effectiveLimit(), 0);
        QCOMPARE(f.s().MaxTime, 10);
        QCOMPARE(f.s().TotalTime, 0);
        QCOMPARE(f.s().NumTxtCount, 2);
        QCOMPARE(f.s().NumTxtInputCount + f.s().NumTxtRight + f.s().NumKeyBackup, 0);
        QVERIFY(f.s().errChar.isEmpty() && f.s().cuowu.isEmpty());
        QVERIFY(!f.c().ui.cmdread->isEnabled());
        QVERIFY(f.c().ui.cmdexit->isEnabled());
        QVERIFY(f.c().ui.btnzigen->isEnabled() && f.c().ui.cts->isEnabled());

        f.commit(QStringLiteral("文"));
        f.c().session->Timer3_Timer();
        f.commit(QStringLiteral("人"));
        QCOMPARE(int(f.results.size()), 2);
        QCOMPARE(f.s().TotalTime, 2);
        QCOMPARE(f.s().errChar, QStringLiteral("入"));
        // The box stays open and the practice runs on: the next change shows the result again.
        QVERIFY(f.s().IsWorking);
        QVERIFY(!f.txt2()->isReadOnly());
        QVERIFY(!f.c().ui.Timer3->isActive());
        f.commit(QStringLiteral("多"));
        QCOMPARE(int(f.results.size()), 3);
        QVERIFY(f.env.fakeSocket.sent.isEmpty());
    }

    void practiceOnNoErrors()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中文"));
        f.c().ui.cmdread->setEnabled(true);
        f.c().session->rst(f.s().cuowu);
        QCOMPARE(f.txt1()->text(), QString());
        QVERIFY(!f.c().ui.cmdexit->isEnabled());
        QVERIFY(f.c().ui.cmdread->isEnabled());
        QCOMPARE(int(f.results.size()), 1);
        f.commit(QStringLiteral("中"));
        QCOMPARE(int(f.results.size()), 2);
        QVERIFY(f.s().IsWorking);
    }

    void recount_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("right");
        QTest::newRow("last differs") << "中文字"
                                      << "中文子" << 2;
        QTest::newRow("longer than the reference") << "中文"
                                                   << "中文中文" << 2;
        QTest::newRow("shifted by one") << "中文录入"
                                        << "x中文录" << 0;
        QTest::newRow("code units, not characters") << "a𠀀b"
                                                    << "a𠀁b" << 3;
        QTest::newRow("no case folding") << "Abc"
                                         << "abc" << 2;
        QTest::newRow("line breaks count") << "中\r\n文"
                                           << "中\r\n又" << 3;
        QTest::newRow("empty reference") << ""
                                         << "中文" << 0;
    }
    void recount()
    {
        QFETCH(QString, reference);
        QFETCH(QString, typed);
        QFETCH(int, right);
        TypingFixture f(QString(), false);
        f.txt1()->setText(reference);
        f.txt2()->blockSignals(true);
        f.txt2()->setText(typed);
        f.txt2()->blockSignals(false);
        f.c().typing->JiSuan();
        QCOMPARE(f.s().NumTxtRight, right);
        QCOMPARE(f.s().NumTxtInputCount, typed.size());
        QCOMPARE(f.s().NumTxtCount, reference.size());
    }

    void recountOfLongTexts()
    {
        // Mismatches spread over a whole text, in every lane of a vector compare.
        QString reference;
        for (int i = 0; i < ClientState::kMaxCount; ++i)
            reference += QChar(0x4E00 + (i * 31) % 2000);
        QString typed = reference;
        int right = int(typed.size());
        for (int i = 0; i < typed.size(); i += 7) {
            typed[i] = QChar(u'x');
            --right;
        }
        QCOMPARE(TypingEngine::countMatches(reference, typed), right);
        QCOMPARE(TypingEngine::countMatches(reference, typed.left(1000)), 1000 - (1000 + 6) / 7);
        // Counters stay within their 16 bits, however long the typed text grows.
        TypingFixture f(QString(), false);
        f.txt1()->setText(reference);
        f.txt2()->blockSignals(true);
        f.txt2()->setText(reference + reference);
        f.txt2()->blockSignals(false);
        f.c().typing->JiSuan();
        QCOMPARE(f.s().NumTxtInputCount, ClientState::kMaxCount);
        QCOMPARE(f.s().NumTxtRight, ClientState::kMaxCount);
    }

    void countersReset()
    {
        TypingFixture f(QStringLiteral("中文"));
        f.commit(QStringLiteral("中"));
        f.backspace();
        f.s().TotalTime = 9;
        f.s().resetCounters(5);
        QCOMPARE(f.s().NumTxtCount, 5);
        QCOMPARE(f.s().NumTxtInputCount + f.s().NumTxtRight + f.s().NumKeyBackup, 0);
        QCOMPARE(f.s().TotalTime, 9);
    }
};

CLIENT_TEST(TypingEngineTest)
#include "tst_typingengine.moc"
