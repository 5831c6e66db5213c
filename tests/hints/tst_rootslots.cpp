// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "hints/RootDisplay.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString kCharacters = QStringLiteral("甲,a,001,x\r\n"
                                           "丙,c,001075,x\r\n"
                                           "丁,d,001075150206,x\r\n"
                                           "庚,g,0020x1075,x\r\n");

using Glyphs = QList<int>;

Glyphs slotGlyphs(const Client &client)
{
    Glyphs shown;
    for (int k = 0; k < RootDisplay::kSlotCount; ++k)
        shown << client.roots->slotGlyph(k);
    return shown;
}

} // namespace

// The root slots as the handlers leave them, without a window: which glyph each slot shows and
// when the window is asked to place them after the hint text.
class RootSlotsTest : public QObject
{
    Q_OBJECT
private slots:
    void displayFillsSlotsAndAsksForPlacement()
    {
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        env.createLogic();
        Client &client = env.client();
        QSignalSpy placed(&client.ui, &MainControls::rootSlotsPlaced);
        client.roots->DispZG(QStringLiteral("丁"));
        QCOMPARE(slotGlyphs(client), (Glyphs{1, 75, 150, 206}));
        QCOMPARE(placed.count(), 1);
        client.roots->DispZG(QStringLiteral("丙"));
        QCOMPARE(slotGlyphs(client), (Glyphs{1, 75, 0, 0}));
        QCOMPARE(placed.count(), 2);
        // A character without a row leaves the slots as they were, placed again.
        client.roots->DispZG(QStringLiteral("无"));
        QCOMPARE(slotGlyphs(client), (Glyphs{1, 75, 0, 0}));
        QCOMPARE(placed.count(), 3);
    }

    void badGroupStopsUnplaced()
    {
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        env.createLogic();
        Client &client = env.client();
        client.roots->DispZG(QStringLiteral("丁"));
        QSignalSpy placed(&client.ui, &MainControls::rootSlotsPlaced);
        client.roots->DispZG(QStringLiteral("庚"));
        QCOMPARE(slotGlyphs(client), (Glyphs{2, 75, 150, 206}));
        QCOMPARE(placed.count(), 0);
    }

    void clearEmptiesHintAndSlots()
    {
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        env.createLogic();
        Client &client = env.client();
        client.ui.LBM->setText(QStringLiteral("五笔编码：D"));
        client.roots->DispZG(QStringLiteral("丁"));
        QSignalSpy changed(&client.ui, &MainControls::rootsChanged);
        client.roots->ClearZg();
        QCOMPARE(client.ui.LBM->text(), QString());
        QCOMPARE(slotGlyphs(client), (Glyphs{0, 0, 0, 0}));
        QVERIFY(changed.count() >= 1);
        QCOMPARE(client.roots->slotGlyph(-1), 0);
        QCOMPARE(client.roots->slotGlyph(4), 0);
    }
};

CLIENT_TEST(RootSlotsTest)
#include "tst_rootslots.moc"
