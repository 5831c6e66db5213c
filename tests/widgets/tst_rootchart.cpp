// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "hints/widgets/RootChart.h"
#include "tests/support/TestRegistry.h"

#include <QImage>
#include <QTest>

namespace {

const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");

bool hasInk(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 100)
                return true;
        }
    }
    return false;
}

} // namespace

class RootChartTest : public QObject
{
    Q_OBJECT
private slots:
    void keysAndPanelsDoNotOverlap()
    {
        const QRectF canvas(0, 0, RootChart::kDesignWidth, RootChart::kDesignHeight);
        QList<QRectF> boxes;
        for (QChar letter : kLetters) {
            const QRectF box = RootChart::keyRect(letter);
            QVERIFY2(!box.isEmpty(), qPrintable(QString(letter)));
            boxes << box;
        }
        for (int zone = 1; zone <= 5; ++zone)
            boxes << RootChart::versePanelRect(zone);
        for (int i = 0; i < boxes.size(); ++i) {
            QVERIFY(canvas.contains(boxes[i]));
            for (int j = i + 1; j < boxes.size(); ++j)
                QVERIFY2(!boxes[i].intersects(boxes[j]),
                         qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
        }
        QVERIFY(RootChart::keyRect(u'1').isEmpty());
        QVERIFY(RootChart::versePanelRect(0).isEmpty());
    }

    void keyboardRowsInOrder()
    {
        // Q above A above Z, each row left to right as on the keyboard.
        for (const QString &row : {QStringLiteral("QWERTYUIOP"), QStringLiteral("ASDFGHJKL"),
                                   QStringLiteral("ZXCVBNM")}) {
            for (int i = 1; i < row.size(); ++i) {
                QCOMPARE(RootChart::keyRect(row[i]).top(), RootChart::keyRect(row[0]).top());
                QVERIFY(RootChart::keyRect(row[i]).left() > RootChart::keyRect(row[i - 1]).right());
            }
        }
        QVERIFY(RootChart::keyRect(u'A').top() > RootChart::keyRect(u'Q').bottom());
        QVERIFY(RootChart::keyRect(u'Z').top() > RootChart::keyRect(u'A').bottom());
    }

    // Wrapping loses no character of a verse and stays inside its panel.
    void versesFitTheirPanels()
    {
        const QList<QString> zones{QStringLiteral("GFDSA"), QStringLiteral("HJKLM"),
                                   QStringLiteral("TREWQ"), QStringLiteral("YUIOP"),
                                   QStringLiteral("NBVCX")};
        for (int zone = 1; zone <= 5; ++zone) {
            QString expected;
            for (int position = 1; position <= 5; ++position) {
                const QChar letter = zones[zone - 1][position - 1];
                QVERIFY(!RootChart::verse(letter).isEmpty());
                expected += QStringLiteral("%1%2 %3 ").arg(zone).arg(position).arg(letter) +
                            RootChart::verse(letter);
            }
            const QStringList lines = RootChart::verseLines(zone);
            QVERIFY(lines.size() * RootChart::kVerseLineHeight <=
                    RootChart::versePanelRect(zone).height());
            QCOMPARE(lines.join(QString()).remove(u' '), expected.remove(u' '));
        }
        QCOMPARE(RootChart::verse(u'Z'), QString());
    }

    void rendersEveryKeyInsideTheWidget_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1200x500") << QSize(1200, 500);
        QTest::newRow("1000x400") << QSize(1000, 400);
        QTest::newRow("tall 600x600") << QSize(600, 600);
    }
    void rendersEveryKeyInsideTheWidget()
    {
        QFETCH(QSize, size);
        RootChart chart;
        chart.resize(size);
        const QImage image = chart.grab().toImage();
        QCOMPARE(image.size(), size);
        const QTransform transform = chart.designTransform();
        const QRect drawn =
            transform.mapRect(QRectF(0, 0, RootChart::kDesignWidth, RootChart::kDesignHeight))
                .toAlignedRect();
        QVERIFY(QRect(QPoint(0, 0), size).contains(drawn.adjusted(1, 1, -1, -1)));
        for (QChar letter : kLetters) {
            const QRect key =
                transform.mapRect(RootChart::keyRect(letter)).toRect().adjusted(3, 3, -3, -3);
            QVERIFY2(hasInk(image, key), qPrintable(QString(letter)));
        }
        // Centred: the margins left free on both sides match.
        QVERIFY(qAbs(drawn.left() - (size.width() - drawn.right() - 1)) <= 2);
        QVERIFY(qAbs(drawn.top() - (size.height() - drawn.bottom() - 1)) <= 2);
    }
};

CLIENT_TEST(RootChartTest)
#include "tst_rootchart.moc"
