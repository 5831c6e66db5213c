// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "hints/HintDelay.h"
#include "hints/RootDisplay.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString kCharacters = QStringLiteral("工,aaaa,001,gong\r\n"
                                           "我,trnt,104113,wo\r\n");
const QString kWords = QStringLiteral("wqiy,你们\r\n"
                                      "aaaa,工工\r\n");
const QString kRest = QStringLiteral("显示编码提示");
const QString kHintOfWo = QStringLiteral("五笔编码：TRNT     拼音编码：wo");

QString countdown(int seconds)
{
    return QStringLiteral("显示编码提示(%1秒后)").arg(seconds);
}

// A client with both tables, hints allowed and ticked, the reference text shown and part
// of it typed. The typing box is filled without raising its change event, so only the hint
// logic runs.
struct HintFixture
{
    explicit HintFixture(const QString &reference, const QString &typed = QString())
        : client((env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters),
                  env.writeGbkFile(QStringLiteral("wbcz.dat"), kWords), env.createLogic(),
                  env.client()))
    {
        client.ui.cts->setEnabled(true);
        client.ui.cts->setChecked(true);
        client.ui.txt1->setText(reference);
        type(typed);
    }

    void type(const QString &typed)
    {
        client.ui.txt2->blockSignals(true);
        client.ui.txt2->setText(typed);
        client.ui.txt2->blockSignals(false);
        client.hints->resetHint();
    }

    QString caption() const { return client.ui.cts->text(); }
    QString hint() const { return client.ui.LBM->text(); }

    LogicEnv env;
    Client &client;
};

} // namespace

class HintDelayTest : public QObject
{
    Q_OBJECT
private slots:
    void countdown_data()
    {
        QTest::addColumn<int>("delay");
        QTest::newRow("start-up delay 8") << 8;
        QTest::newRow("server value 5") << 6;
        QTest::newRow("no delay") << 0;
    }
    void countdown()
    {
        QFETCH(int, delay);
        HintFixture f(QStringLiteral("工我工"), QStringLiteral("工"));
        f.client.state.NumHintDelay = delay;
        for (int tick = 1; tick <= delay; ++tick) {
            f.client.hints->hintStep();
            QCOMPARE(f.caption(), ::countdown(delay - tick));
            QCOMPARE(f.hint(), QString());
            QVERIFY(f.client.state.IsHintPending);
        }
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);
        QCOMPARE(f.client.roots->slotGlyph(0), 104);
        QCOMPARE(f.client.roots->slotGlyph(1), 113);
        QCOMPARE(f.client.roots->slotGlyph(2), 0);
        QVERIFY(!f.client.state.IsHintPending);
        QCOMPARE(f.client.state.dengdaishijian, 0);
        // With the hint shown the countdown caption is gone; idle ticks change nothing.
        QCOMPARE(f.caption(), kRest);
        f.client.hints->hintStep();
        QCOMPARE(f.caption(), kRest);
        QCOMPARE(f.hint(), kHintOfWo);
    }

    void changeDuringCountdownRestartsIt()
    {
        HintFixture f(QStringLiteral("工我"));
        for (int tick = 0; tick < 3; ++tick)
            f.client.hints->hintStep();
        QCOMPARE(f.caption(), ::countdown(5));
        f.type(QStringLiteral("工"));
        f.client.hints->hintStep();
        QCOMPARE(f.caption(), ::countdown(7));
        for (int tick = 0; tick < 8; ++tick)
            f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);
    }

    void changeClearsAShownHintAtOnce()
    {
        HintFixture f(QStringLiteral("我工"));
        f.client.state.NumHintDelay = 0;
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);
        f.type(QStringLiteral("我"));
        QCOMPARE(f.hint(), QString());
        QCOMPARE(f.client.roots->slotGlyph(0), 0);
    }

    void untickKeepsTheHintUntilTheNextChange()
    {
        HintFixture f(QStringLiteral("我工"));
        f.client.state.NumHintDelay = 0;
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);

        f.client.ui.cts->click();
        QVERIFY(!f.client.ui.cts->isChecked());
        QVERIFY(!f.client.state.IsHintPending);
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);
        QCOMPARE(f.client.roots->slotGlyph(0), 104);

        f.client.ui.cts->setText(::countdown(3));
        f.type(QStringLiteral("我"));
        f.client.hints->hintStep();
        QCOMPARE(f.caption(), kRest);
        QCOMPARE(f.hint(), QString());
        QVERIFY(!f.client.state.IsHintPending);
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), QString());
    }

    void tickingAgainShowsTheSameHintAfterANewCountdown()
    {
        HintFixture f(QStringLiteral("我工"));
        f.client.state.NumHintDelay = 2;
        for (int tick = 0; tick < 3; ++tick)
            f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);

        f.client.ui.cts->click();
        f.client.ui.cts->click();
        QVERIFY(f.client.state.IsHintPending);
        f.client.hints->hintStep();
        QCOMPARE(f.caption(), ::countdown(1));
        f.client.hints->hintStep();
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), kHintOfWo);
        QVERIFY(!f.client.state.IsHintPending);
    }

    void toggleGivesFocusBackToTheTypingBox()
    {
        HintFixture f(QStringLiteral("我"));
        QSignalSpy focus(f.client.ui.txt2, &TextModel::focusRequested);
        f.client.ui.cts->click();
        QCOMPARE(focus.count(), 1);
    }

    void hintAfterTheWholeTextLooksUpTheEmptyText()
    {
        HintFixture f(QStringLiteral("工"), QStringLiteral("工"));
        f.client.state.NumHintDelay = 0;
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), QStringLiteral("五笔编码：    拼音编码："));
        for (int k = 0; k < RootDisplay::kSlotCount; ++k)
            QCOMPARE(f.client.roots->slotGlyph(k), 0);
    }

    void wordHint_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first word") << 0 << QStringLiteral("你们     五笔编码：WQIY ");
        QTest::newRow("mid-word: rest of the word") << 1 << QStringLiteral("们     五笔编码：");
        QTest::newRow("second word") << 3 << QStringLiteral("工工     五笔编码：AAAA ");
        QTest::newRow("on a blank") << 2 << QStringLiteral("     五笔编码：");
        QTest::newRow("last word, no blank after it") << 6 << QStringLiteral("    五笔编码：");
        QTest::newRow("end of text") << 8 << QStringLiteral("    五笔编码：");
    }
    void wordHint()
    {
        QFETCH(int, position);
        QFETCH(QString, expected);
        HintFixture f(QStringLiteral("你们 工工 你们"));
        f.client.state.IsCzText = 1;
        f.client.state.NumHintDelay = 0;
        f.client.ui.txt1->setSelStart(position);
        // Glyphs of an earlier character hint do not stay beside a word.
        f.client.roots->DispZG(QStringLiteral("我"));
        f.client.hints->hintStep();
        QCOMPARE(f.hint(), expected);
        QCOMPARE(f.client.roots->slotGlyph(0), 0);
        QVERIFY(!f.client.state.IsHintPending);
    }
};

CLIENT_TEST(HintDelayTest)
#include "tst_hintdelay.moc"
