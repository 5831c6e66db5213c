// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "practice/PracticeRequest.h"
#include "practice/RootDraw.h"
#include "practice/RootTable.h"
#include "tests/practice/PracticeFixture.h"
#include "tests/support/TestRegistry.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

class RootTableTest : public QObject
{
    Q_OBJECT
private slots:
    void rowsFromLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("roots");

        const QByteArray table = gbkLines(sampleRows());
        QTest::newRow("first row") << table << 0 << "G"
                                   << "王一五戋";
        QTest::newRow("last row") << table << 24 << "X"
                                  << "纟弓匕";
        QTest::newRow("lone CR ends a line") << gbkLines(sampleRows(), "\r") << 7 << "K"
                                             << "口川";
        QTest::newRow("lone LF ends a line") << gbkLines(sampleRows(), "\n") << 7 << "K"
                                             << "口川";
        QTest::newRow("last line without its end")
            << gbk::encode(QStringLiteral("G王\r\nF土")).bytes << 1 << "F"
            << "土";
        QTest::newRow("blanks inside the list are roots")
            << gbk::encode(QStringLiteral("G 王 一 五  \r\n")).bytes << 0 << "G"
            << "王 一 五";
        QTest::newRow("blank key letter")
            << gbk::encode(QStringLiteral(" 王一\r\n")).bytes << 0 << ""
            << "王一";
        QTest::newRow("empty line leaves its row empty")
            << gbk::encode(QStringLiteral("G王\r\n\r\nD大\r\n")).bytes << 1 << ""
            << "";
        QTest::newRow("row after an empty line")
            << gbk::encode(QStringLiteral("G王\r\n\r\nD大\r\n")).bytes << 2 << "D"
            << "大";
        QStringList rows27 = sampleRows();
        rows27 << QStringLiteral("Z多余") << QStringLiteral("Y更多");
        QTest::newRow("27 lines: row 24 is line 25") << gbkLines(rows27) << 24 << "X"
                                                     << "纟弓匕";
        QStringList rows20 = sampleRows().mid(0, 20);
        QTest::newRow("20 lines leave row 20 empty") << gbkLines(rows20) << 20 << ""
                                                     << "";
    }
    void rowsFromLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, row);
        QFETCH(QString, key);
        QFETCH(QString, roots);
        const RootTable::Load load = RootTable::parse(bytes);
        QVERIFY(load.warning.isEmpty());
        QCOMPARE(load.table.key(row), key);
        QCOMPARE(load.table.roots(row), roots);
    }

    void bytesThatAreNoCharacterAreLeftOutAndNamed()
    {
        QByteArray bytes = gbkLines(sampleRows().mid(0, 3));
        bytes.insert(bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 1), "\xff");
        const RootTable::Load load = RootTable::parse(bytes);
        QCOMPARE(load.table.roots(1), QStringLiteral("土士二干十寸雨"));
        QVERIFY2(load.warning.contains(QStringLiteral("第2行")), qPrintable(load.warning));
    }

    void missingOrUnreadableFileWarns()
    {
        QTemporaryDir dir;
        const RootTable::Load missing = RootTable::read(dir.filePath(QStringLiteral("86zg.dat")));
        QCOMPARE(missing.warning, QStringLiteral("读取文件错误,可能是文件已丢失!       "));
        QVERIFY(missing.table.isEmpty());
        QVERIFY(!missing.found);
        // A folder in the file's place cannot be read either.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("86zg.dat")));
        QCOMPARE(RootTable::read(dir.filePath(QStringLiteral("86zg.dat"))).warning,
                 rootTableMissingText());
    }

    void firstRowWinsForARootListedTwice()
    {
        QStringList rows = sampleRows();
        rows[7] = QStringLiteral("K口川王");   // 王 again, in a later row than G
        rows[0] = QStringLiteral("g王一五戋"); // a lower-case key letter
        const RootTable table = RootTable::parse(gbkLines(rows)).table;
        QCOMPARE(table.keyOf(u'王'), QStringLiteral("g"));
        QCOMPARE(table.keyOf(u'川'), QStringLiteral("K"));
        QVERIFY(!table.keyOf(u'中').has_value());
    }

    void poolPerZone_data()
    {
        QTest::addColumn<int>("zone");
        QTest::addColumn<QString>("pool");
        const QStringList rows = sampleRows();
        QString all;
        for (int row = 24; row >= 0; --row)
            all += rows[row].mid(1);
        QTest::newRow("0: every row, row 24 first") << 0 << all;
        QTest::newRow("-3: every row") << -3 << all;
        for (int zone = 1; zone <= 5; ++zone) {
            QString expected;
            for (int row = 5 * (zone - 1); row < 5 * zone; ++row)
                expected += rows[row].mid(1);
            QTest::newRow(qPrintable(QStringLiteral("zone %1").arg(zone))) << zone << expected;
        }
    }
    void poolPerZone()
    {
        QFETCH(int, zone);
        QFETCH(QString, pool);
        const RootTable table = RootTable::parse(gbkLines(sampleRows())).table;
        QCOMPARE(table.pool(zone), std::optional<QString>(pool));
    }

    // The table shipped with the client reads without a warning, and every root in it is
    // answered by the key of its own row.
    void shippedTableJudgesEveryRootByItsRow()
    {
        const RootTable::Load load =
            RootTable::read(QStringLiteral(CLIENT_SOURCE_DIR "/assets/data/86zg.dat"));
        QCOMPARE(load.warning, QString());
        const QString keys = QStringLiteral("GFDSAHJKLMTREWQYUIOPNBVCX");
        for (int row = 0; row < RootTable::kRows; ++row) {
            QCOMPARE(load.table.key(row), keys.mid(row, 1));
            QVERIFY(load.table.roots(row).size() >= 2);
            for (QChar root : load.table.roots(row))
                QCOMPARE(load.table.keyOf(root), std::optional<QString>(keys.mid(row, 1)));
        }
    }

    void noPoolAboveZone5()
    {
        const RootTable table = RootTable::parse(gbkLines(sampleRows())).table;
        QVERIFY(!table.pool(6).has_value());
        QVERIFY(!table.pool(32767).has_value());
    }
};

class PracticeRequestTest : public QObject
{
    Q_OBJECT
private slots:
    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("count");
        QTest::newRow("zone 2, 30 roots") << "<zg>2/30" << true << 2 << 30;
        QTest::newRow("all keys") << "<zg>0/50" << true << 0 << 50;
        QTest::newRow("below 1 is all keys") << "<zg>-3/10" << true << -3 << 10;
        QTest::newRow("later fields ignored") << "<zg>1/3/9" << true << 1 << 3;
        QTest::newRow("halves to even") << "<zg>2.5/3.5" << true << 2 << 4;
        QTest::newRow("blanks around numbers") << "<zg> 1 / 5 " << true << 1 << 5;
        QTest::newRow("count 0") << "<zg>2/0" << true << 2 << 0;
        QTest::newRow("zone 5") << "<zg>5/10" << true << 5 << 10;
        QTest::newRow("zone 6") << "<zg>6/10" << false << 0 << 0;
        QTest::newRow("no second field") << "<zg>2" << false << 0 << 0;
        QTest::newRow("nothing at all") << "<zg>" << false << 0 << 0;
        QTest::newRow("not a number") << "<zg>二/30" << false << 0 << 0;
        QTest::newRow("count not a number") << "<zg>2/三十" << false << 0 << 0;
        QTest::newRow("beyond 16 bits") << "<zg>2/32768" << false << 0 << 0;
        QTest::newRow("16-bit top") << "<zg>2/32767" << true << 2 << 32767;
        QTest::newRow("zone far below") << "<zg>-32769/1" << false << 0 << 0;
    }
    void fields()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const PracticeRequest::Parse parse = PracticeRequest::parse(text);
        QCOMPARE(parse.request.has_value(), valid);
        QCOMPARE(parse.error.isEmpty(), valid);
        if (valid) {
            QTEST(parse.request->zone, "zone");
            QTEST(parse.request->count, "count");
        }
    }
};

class RootDrawTest : public QObject
{
    Q_OBJECT
private slots:
    void position_data()
    {
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("position");
        QTest::newRow("0 is outside") << 0.0 << 4 << 0;
        QTest::newRow("0.5 rounds to 0, outside") << 0.125 << 4 << 0;
        QTest::newRow("1.5 rounds to 2") << 0.375 << 4 << 2;
        QTest::newRow("2.5 rounds to 2") << 0.625 << 4 << 2;
        QTest::newRow("3.5 rounds to 4") << 0.875 << 4 << 4;
        QTest::newRow("just below 1") << 0.9999 << 4 << 4;
        QTest::newRow("just above 0.5") << 0.13 << 4 << 1;
        QTest::newRow("single root, 0.5 outside") << 0.5 << 1 << 0;
        QTest::newRow("single root") << 0.75 << 1 << 1;
    }
    void position()
    {
        QFETCH(double, r);
        QFETCH(int, length);
        QTEST(rootdraw::position(r, length), "position");
    }

    // The rounding gives the last root of the pool half the chance of each other root.
    void lastRootIsDrawnHalfAsOften()
    {
        QRandomGenerator generator(20261210);
        const auto random = [&generator] { return generator.generateDouble(); };
        const QString drawn = rootdraw::exercise(QStringLiteral("王土大木工"), 90000, random);
        QCOMPARE(drawn.size(), 90000);
        std::map<QChar, int> counts;
        for (QChar c : drawn)
            ++counts[c];
        QCOMPARE(counts.size(), size_t(5));
        // Expected 20000 for each of the first four roots and 10000 for the last.
        for (QChar c : QStringLiteral("王土大木"))
            QVERIFY2(qAbs(counts[c] - 20000) < 600, qPrintable(QString::number(counts[c])));
        QVERIFY2(qAbs(counts[u'工'] - 10000) < 450, qPrintable(QString::number(counts[u'工'])));
    }

    void aRootListedTwiceIsDrawnMoreOften()
    {
        QRandomGenerator generator(7);
        const auto random = [&generator] { return generator.generateDouble(); };
        // 王 holds positions 1 and 2, 土 position 3, 大 the halved last position.
        const QString drawn = rootdraw::exercise(QStringLiteral("王王土大"), 35000, random);
        const int wang = int(drawn.count(u'王'));
        const int tu = int(drawn.count(u'土'));
        QVERIFY2(qAbs(wang - 2 * tu) < 900, qPrintable(QStringLiteral("%1 %2").arg(wang).arg(tu)));
    }

    void emptyExercises()
    {
        int calls = 0;
        const auto random = [&calls] {
            ++calls;
            return 0.5;
        };
        QCOMPARE(rootdraw::exercise(QString(), 5, random), QString());
        QCOMPARE(rootdraw::exercise(QStringLiteral("王"), 0, random), QString());
        QCOMPARE(rootdraw::exercise(QStringLiteral("王"), -4, random), QString());
        QCOMPARE(calls, 0);
    }

    void drawsAgainOutsideThePool()
    {
        // 0.1 × 3 rounds to 0 and 0.999 × 3 to 3: the first number is drawn again.
        QList<double> numbers{0.1, 0.999, 0.4};
        const auto random = [&numbers] { return numbers.takeFirst(); };
        QCOMPARE(rootdraw::exercise(QStringLiteral("王土大"), 2, random), QStringLiteral("大王"));
    }
};

CLIENT_TEST(RootTableTest)
CLIENT_TEST(PracticeRequestTest)
CLIENT_TEST(RootDrawTest)

#include "tst_roottable.moc"
