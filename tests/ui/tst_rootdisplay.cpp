// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "hints/RootDisplay.h"
#include "hints/widgets/RootGlyphs.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "ui/Form1.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>

namespace {

const QString kCharacters = QStringLiteral("甲,a,001,x\r\n"
                                           "乙,b,0010,x\r\n"
                                           "丙,c,001075,x\r\n"
                                           "丁,d,001075150206,x\r\n"
                                           "戊,e,0010751502063,x\r\n"
                                           "己,f,,x\r\n"
                                           "庚,g,0020x1075,x\r\n"
                                           "辛,h,002207075,x\r\n"
                                           "壬,i,000,x\r\n"
                                           "癸,j,0 2,x\r\n"
                                           "子,k,002-01,x\r\n");

using Glyphs = QList<int>;

} // namespace

class RootDisplayTest : public QObject
{
    Q_OBJECT

    static Glyphs shownGlyphs(const Client &client)
    {
        Glyphs shown;
        for (int k = 0; k < RootDisplay::kSlotCount; ++k)
            shown << client.roots->slotGlyph(k);
        return shown;
    }

private slots:
    void glyphsOfAField_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<Glyphs>("expected");
        QTest::newRow("one root") << QStringLiteral("甲") << Glyphs{1, 0, 0, 0};
        QTest::newRow("four digits: surplus digit ignored")
            << QStringLiteral("乙") << Glyphs{1, 0, 0, 0};
        QTest::newRow("two roots") << QStringLiteral("丙") << Glyphs{1, 75, 0, 0};
        QTest::newRow("twelve digits") << QStringLiteral("丁") << Glyphs{1, 75, 150, 206};
        QTest::newRow("thirteen digits") << QStringLiteral("戊") << Glyphs{1, 75, 150, 206};
        QTest::newRow("empty field") << QStringLiteral("己") << Glyphs{0, 0, 0, 0};
        QTest::newRow("no row") << QStringLiteral("无") << Glyphs{0, 0, 0, 0};
    }
    void glyphsOfAField()
    {
        QFETCH(QString, character);
        QFETCH(Glyphs, expected);
        TestEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        const Form1 &form = env.createForm();
        Client &client = env.client();
        client.roots->ClearZg();
        client.roots->DispZG(character);
        QCOMPARE(shownGlyphs(client), expected);
        for (int k = 0; k < RootDisplay::kSlotCount; ++k)
            QCOMPARE(form.widgets().Imgzg[k]->property("glyphNumber").toInt(), expected[k]);
    }

    void placementFollowsTheLabel()
    {
        TestEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        Form1 &form = env.createForm();
        Client &client = env.client();
        const auto &slotLabels = form.widgets().Imgzg;
        QLabel *hint = form.widgets().LBM;
        const int top = slotLabels[0]->y();

        int previousLeft = -1;
        for (const QString &text : {QStringLiteral("五笔编码：A"),
                                    QStringLiteral("五笔编码：AAAA BBBB     拼音编码：gonggong")}) {
            client.ui.LBM->setText(text);
            client.roots->DispZG(QStringLiteral("丙"));
            QCOMPARE(slotLabels[0]->x(), hint->x() + hint->width() + form.px(200));
            for (int k = 1; k < RootDisplay::kSlotCount; ++k) {
                const QLabel *before = slotLabels[k - 1];
                QCOMPARE(slotLabels[k]->x(), before->x() + before->width() + form.px(100));
                QCOMPARE(slotLabels[k]->y(), top);
            }
            QVERIFY(slotLabels[0]->x() > previousLeft);
            previousLeft = slotLabels[0]->x();
        }
    }

    // The glyphs stand level with the hint text: the middle of each slot on the middle of the
    // text's ink (the ink of a CJK face sits well below the top of its line).
    void glyphsStandLevelWithTheHint()
    {
        TestEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        Form1 &form = env.createForm();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Client &client = env.client();
        QLabel *hint = form.widgets().LBM;
        client.ui.LBM->setText(QStringLiteral("五笔编码：GGLL     拼音编码：bing"));
        client.roots->DispZG(QStringLiteral("丙"));
        const QFontMetrics metrics(hint->font());
        const QRect ink = metrics.tightBoundingRect(hint->text());
        const int baseline = (hint->height() - metrics.height()) / 2 + metrics.ascent();
        const int inkMiddle = hint->y() + baseline + ink.center().y();
        for (const QLabel *slot : form.widgets().Imgzg) {
            const int slotMiddle = slot->y() + slot->height() / 2;
            QVERIFY2(std::abs(slotMiddle - inkMiddle) <= 1,
                     qPrintable(QStringLiteral("glyph middle %1, text middle %2")
                                    .arg(slotMiddle)
                                    .arg(inkMiddle)));
        }
    }

    // A group that names no glyph stops at its slot: earlier slots take their new glyphs,
    // that slot and the later ones keep theirs, and the slots are not moved.
    void badGroupStopsAtItsSlot_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<Glyphs>("expected");
        QTest::newRow("letter in group 2") << QStringLiteral("庚") << Glyphs{2, 75, 150, 206};
        QTest::newRow("207 in group 2") << QStringLiteral("辛") << Glyphs{2, 75, 150, 206};
        QTest::newRow("000 in group 1") << QStringLiteral("壬") << Glyphs{1, 75, 150, 206};
        QTest::newRow("blank in group 1") << QStringLiteral("癸") << Glyphs{1, 75, 150, 206};
        QTest::newRow("sign in group 2") << QStringLiteral("子") << Glyphs{2, 75, 150, 206};
    }
    void badGroupStopsAtItsSlot()
    {
        QFETCH(QString, character);
        QFETCH(Glyphs, expected);
        TestEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        const Form1 &form = env.createForm();
        Client &client = env.client();
        client.roots->DispZG(QStringLiteral("丁"));
        QList<int> lefts;
        for (const QLabel *slot : form.widgets().Imgzg)
            lefts << slot->x();

        client.ui.LBM->setText(QStringLiteral("五笔编码：AAAA BBBB CCCC     拼音编码：long"));
        client.roots->DispZG(character);
        QCOMPARE(shownGlyphs(client), expected);
        for (int k = 0; k < RootDisplay::kSlotCount; ++k)
            QCOMPARE(form.widgets().Imgzg[k]->x(), lefts[k]);
    }

    void clearEmptiesLabelAndSlotsInPlace()
    {
        TestEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        const Form1 &form = env.createForm();
        Client &client = env.client();
        client.ui.LBM->setText(QStringLiteral("五笔编码：D"));
        client.roots->DispZG(QStringLiteral("丁"));
        QList<int> lefts;
        for (const QLabel *slot : form.widgets().Imgzg)
            lefts << slot->x();

        client.roots->ClearZg();
        QCOMPARE(form.widgets().LBM->text(), QString());
        QCOMPARE(shownGlyphs(client), (Glyphs{0, 0, 0, 0}));
        for (int k = 0; k < RootDisplay::kSlotCount; ++k) {
            QVERIFY(form.widgets().Imgzg[k]->pixmap().isNull());
            QCOMPARE(form.widgets().Imgzg[k]->x(), lefts[k]);
        }
    }

    void glyphNumbersOutsideTheSetHaveNoPicture()
    {
        for (int n : {-1, 0, 207, 1000})
            QVERIFY2(rootglyphs::glyph(n).isNull(), qPrintable(QString::number(n)));
    }

    void everyGlyphIsBuiltIn()
    {
        // Both sizes of every glyph are built into the client.
        for (int n = 1; n <= RootDisplay::kGlyphCount; ++n) {
            for (const char *suffix : {"", "@2x"}) {
                const QString name = QStringLiteral(":/glyphs/zg%1%2.png")
                                         .arg(n, 3, 10, QLatin1Char('0'))
                                         .arg(suffix);
                QVERIFY2(QFile::exists(name), qPrintable(name));
            }
        }
        for (int n = 1; n <= RootDisplay::kGlyphCount; ++n) {
            const QPixmap pixmap = rootglyphs::glyph(n, 1.0);
            QVERIFY2(!pixmap.isNull(), qPrintable(QString::number(n)));
            QCOMPARE(pixmap.size(), QSize(19, 20));
        }
        // The repeated roots of key M look like the originals.
        for (int n = 201; n <= 206; ++n)
            QCOMPARE(rootglyphs::glyph(n, 1.0).toImage(),
                     rootglyphs::glyph(n - 132, 1.0).toImage());
    }
};

CLIENT_TEST(RootDisplayTest)
#include "tst_rootdisplay.moc"
