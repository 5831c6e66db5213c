#include "TestRegistry.h"
#include "core/ClientState.h"
#include "typing/Statistics.h"

#include <QTest>

class StatisticsTest : public QObject
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
        QCOMPARE(stats::speedText(right, seconds), text);
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
        QCOMPARE(stats::accuracyText(right, typed), text);
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
        QCOMPARE(stats::elapsedText(seconds), elapsed);
        QCOMPARE(stats::remainingText(maxMinutes, seconds), remaining);
    }

    void sentence()
    {
        ClientState state;
        state.TotalTime = 125;
        state.NumTxtCount = 300;
        state.NumTxtInputCount = 120;
        state.NumTxtRight = 118;
        state.NumKeyBackup = 7;
        QCOMPARE(stats::sentence(state),
                 QStringLiteral("已用时：2分5秒，总字数：300个，已录入：120个，正确数：118个，"
                                "退格次数：7次，平均速度：56.6字/分钟"));

        state.TotalTime = 59;
        QVERIFY(stats::sentence(state).startsWith(QStringLiteral("已用时：0分59秒，")));
        state.TotalTime = 3600;
        QVERIFY(stats::sentence(state).startsWith(QStringLiteral("已用时：60分0秒，")));

        // A practice ended before its first second has no speed to divide out.
        ClientState fresh;
        QCOMPARE(stats::sentence(fresh),
                 QStringLiteral("已用时：0分0秒，总字数：0个，已录入：0个，正确数：0个，"
                                "退格次数：0次，平均速度：0.0字/分钟"));
    }
};

CLIENT_TEST(StatisticsTest)
#include "tst_statistics.moc"
