// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Window placement on small and scaled screens: a window never opens larger than the free part
// of its screen, and a teacher's message never opens over the typing box.
#include "core/widgets/Geometry.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

class GeometryTest : public QObject
{
    Q_OBJECT
private slots:
    void clientSizeFitsTheScreen_data()
    {
        QTest::addColumn<QSize>("wanted");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("size");
        const QMargins frame(1, 22, 1, 1);
        QTest::newRow("room enough")
            << QSize(1120, 660) << QRect(0, 0, 1920, 1080) << QSize(1120, 660);
        QTest::newRow("1024x768") << QSize(1120, 660) << QRect(0, 0, 1024, 768) << QSize(1022, 660);
        QTest::newRow("1920x1080 at 2x")
            << QSize(1120, 660) << QRect(0, 0, 960, 540) << QSize(958, 517);
        QTest::newRow("a panel at the top")
            << QSize(1120, 660) << QRect(0, 30, 1280, 650) << QSize(1120, 627);
    }
    void clientSizeFitsTheScreen()
    {
        QFETCH(QSize, wanted);
        QFETCH(QRect, available);
        QFETCH(QSize, size);
        QCOMPARE(fitClientSize(wanted, QMargins(1, 22, 1, 1), available), size);
    }

    void messagePlacement_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QRect>("expected");
        const QSize message(769, 420);
        // The main window's typing area (middle of the reference box to the typing box's end)
        // lies 230 to 610 below the window's top in these cases.
        QTest::newRow("beside the window on a wide screen")
            << QRect(0, 0, 1920, 1080) << QRect(0, 0, 1122, 683) << QRect(1122, 0, 769, 420);
        QTest::newRow("left of a window on the right")
            << QRect(0, 0, 1920, 1080) << QRect(798, 100, 1122, 683) << QRect(29, 100, 769, 420);
        QTest::newRow("below the window")
            << QRect(0, 0, 1280, 1400) << QRect(0, 0, 1122, 683) << QRect(0, 683, 769, 420);
        QTest::newRow("below a window in the middle of the screen, lower")
            << QRect(0, 0, 1920, 1080) << QRect(400, 198, 1122, 683) << QRect(400, 881, 769, 199);
        QTest::newRow("above a window low on the screen, lower")
            << QRect(0, 0, 1280, 1000) << QRect(0, 300, 1122, 683) << QRect(0, 0, 769, 300);
        QTest::newRow("below, lower")
            << QRect(0, 0, 1280, 1000) << QRect(0, 0, 1122, 683) << QRect(0, 683, 769, 317);
        QTest::newRow("1024x768: over the top, lower")
            << QRect(0, 0, 1024, 768) << QRect(0, 0, 1024, 683) << QRect(0, 0, 769, 230);
        QTest::newRow("1920x1080 at 2x: over the top, lower")
            << QRect(0, 0, 960, 540) << QRect(0, 0, 960, 540) << QRect(0, 0, 769, 230);
    }
    void messagePlacement()
    {
        QFETCH(QRect, available);
        QFETCH(QRect, owner);
        QFETCH(QRect, expected);
        const QRect keepClear(owner.left() + 10, owner.top() + 230, owner.width() - 20, 380);
        const QRect place = placeClearOf(available, owner, keepClear, QSize(769, 420), 100);
        QCOMPARE(place, expected);
        QVERIFY(available.contains(place));
        QVERIFY(!place.intersects(keepClear));
    }

    void noRoomAnywhereGoesToTheTop()
    {
        const QRect available(0, 0, 800, 400);
        const QRect owner(0, 0, 800, 400);
        const QRect keepClear(0, 50, 800, 320);
        const QRect place = placeClearOf(available, owner, keepClear, QSize(769, 420), 100);
        QCOMPARE(place, QRect(0, 0, 769, 400));
    }

    void roomBelowServesWhenTheTopIsTaken()
    {
        const QRect available(0, 0, 1024, 768);
        const QRect owner(0, 0, 1024, 768);
        const QRect keepClear(0, 40, 1024, 400);
        const QRect place = placeClearOf(available, owner, keepClear, QSize(769, 420), 100);
        QCOMPARE(place, QRect(0, 440, 769, 328));
        QVERIFY(!place.intersects(keepClear));
    }
};

CLIENT_TEST(GeometryTest)
#include "tst_geometry.moc"
