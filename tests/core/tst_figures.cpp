// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Figures.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

class FiguresTest : public QObject
{
    Q_OBJECT
private slots:
    void speed_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("118 in 125 s is 56.64") << 118 << 125 << "56.6";
        QTest::newRow("1 in 240 s is exactly 0.25") << 1 << 240 << "0.3";
        QTest::newRow("1 in 80 s is exactly 0.75") << 1 << 80 << "0.8";
        QTest::newRow("whole number keeps its decimal") << 60 << 60 << "60.0";
        QTest::newRow("nothing right") << 0 << 125 << "0.0";
        QTest::newRow("a second") << 7 << 1 << "420.0";
        QTest::newRow("counters at their top") << 32767 << 1 << "1966020.0";
        QTest::newRow("long test") << 32767 << 32767 << "60.0";
        QTest::newRow("no time yet") << 5 << 0 << "0.0";
    }
    void speed()
    {
        QFETCH(int, right);
        QFETCH(int, seconds);
        QFETCH(QString, text);
        QCOMPARE(figures::speedText(right, seconds), text);
    }

    void accuracy_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("2 of 3") << 2 << 3 << "67";
        QTest::newRow("1 of 3") << 1 << 3 << "33";
        QTest::newRow("half of a percent rounds up") << 1 << 200 << "1";
        QTest::newRow("118 of 120") << 118 << 120 << "98";
        QTest::newRow("all") << 300 << 300 << "100";
        QTest::newRow("none right") << 0 << 4 << "0";
        QTest::newRow("nothing typed") << 0 << 0 << "0";
    }
    void accuracy()
    {
        QFETCH(int, right);
        QFETCH(int, typed);
        QFETCH(QString, text);
        QCOMPARE(figures::accuracyText(right, typed), text);
    }

    void times_data()
    {
        QTest::addColumn<int>("maxMinutes");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("elapsed");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("start") << 10 << 0 << "0分0秒"
                               << "10分0秒";
        QTest::newRow("125 s of 10 min") << 10 << 125 << "2分5秒"
                                         << "7分55秒";
        QTest::newRow("59 s") << 1 << 59 << "0分59秒"
                              << "0分1秒";
        QTest::newRow("at the limit") << 1 << 60 << "1分0秒"
                                      << "0分0秒";
        QTest::newRow("5 s past") << 1 << 65 << "1分5秒"
                                  << "0分-5秒";
        QTest::newRow("125 s past") << 1 << 185 << "3分5秒"
                                    << "-2分-5秒";
        QTest::newRow("an hour") << 100 << 3600 << "60分0秒"
                                 << "40分0秒";
    }
    void times()
    {
        QFETCH(int, maxMinutes);
        QFETCH(int, seconds);
        QFETCH(QString, elapsed);
        QFETCH(QString, remaining);
        QCOMPARE(figures::elapsedText(seconds), elapsed);
        QCOMPARE(figures::remainingText(maxMinutes, seconds), remaining);
    }

    void sentence()
    {
        figures::Counts counts{125, 300, 120, 118, 7};
        QCOMPARE(figures::sentence(counts),
                 QStringLiteral("已用时：2分5秒，总字数：300个，已录入：120个，正确数：118个，"
                                "退格次数：7次，平均速度：56.6字/分钟"));

        counts.totalTime = 59;
        QVERIFY(figures::sentence(counts).startsWith(QStringLiteral("已用时：0分59秒，")));
        counts.totalTime = 3600;
        QVERIFY(figures::sentence(counts).startsWith(QStringLiteral("已用时：60分0秒，")));

        // A practice ended before its first second has no speed to divide out.
        QCOMPARE(figures::sentence(figures::Counts{}),
                 QStringLiteral("已用时：0分0秒，总字数：0个，已录入：0个，正确数：0个，"
                                "退格次数：0次，平均速度：0.0字/分钟"));
    }

    // The statistics row as every window shows it once a second.
    void display_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("maxMinutes");
        QTest::addColumn<QStringList>("expected"); // speed, progress, timing, elapsed, remaining
        QTest::newRow("before the first second")
            << 0 << 5 << 5 << 0 << QStringList{"0", "0/0(正确100%)", "不限时", "0分0秒", "不限"};
        QTest::newRow("nothing typed yet")
            << 3 << 0 << 0 << 10
            << QStringList{"0.0", "0/300(正确0%)", "限时10分钟", "0分3秒", "9分57秒"};
        QTest::newRow("12 of 30 in 125 s")
            << 125 << 12 << 12 << 10
            << QStringList{"5.8", "12/300(正确100%)", "限时10分钟", "2分5秒", "7分55秒"};
        QTest::newRow("past the limit")
            << 65 << 120 << 118 << 1
            << QStringList{"108.9", "120/300(正确98%)", "限时1分钟", "1分5秒", "0分-5秒"};
    }
    void display()
    {
        QFETCH(int, seconds);
        QFETCH(int, typed);
        QFETCH(int, right);
        QFETCH(int, maxMinutes);
        QFETCH(QStringList, expected);
        const figures::Display d = figures::display({seconds, 300, typed, right, 0}, maxMinutes);
        QCOMPARE((QStringList{d.speed, d.progress, d.timing, d.elapsed, d.remaining}), expected);
    }

    // The console sorts and averages the same tenths the client writes: both sides agree on
    // every count and time (49 right in 48 s is 61.3 on both, not 61.2 on one of them).
    void tenthsAgreeWithText()
    {
        for (int seconds = 1; seconds <= 400; ++seconds) {
            for (int right = 0; right <= 600; right += 7) {
                const auto tenths = figures::speedTenths(right, seconds);
                QVERIFY(tenths);
                QCOMPARE(figures::tenthsText(*tenths), figures::speedText(right, seconds));
            }
        }
        QCOMPARE(figures::speedText(49, 48), QStringLiteral("61.3"));
        QVERIFY(!figures::speedTenths(3, 0));
        QVERIFY(!figures::accuracyPercent(0, 0));
        QCOMPARE(*figures::accuracyPercent(2, 3), 67);
    }
};

CLIENT_TEST(FiguresTest)
#include "tst_figures.moc"
