// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/IBusInputMethods.h"
#include "tests/realenv/RealClient.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QProcess>
#include <QTest>

#include <optional>

using namespace realsession;

namespace {

// Runs the ibus command line tool: its output, nothing when it failed.
std::optional<QString> run(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("ibus"), arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}
QString ibus(const QStringList &arguments)
{
    return run(arguments).value_or(QString());
}

const QString kHaifeng = QStringLiteral("table:wubi-haifeng86");
const QString kText = QStringLiteral("一天又一天，春天来了，小河里的冰化了，柳树发芽了。");

} // namespace

// The real client on a desktop with IBus under an English locale (where IBus itself calls the
// Wubi tables "WuBiHaifeng86" and "WuBi-Jidian-86-JiShuag-6.0"): a Wubi test can be taken, and
// IBus restarted from its panel during the test is found again at the next key.
class IBusClientRealTest : public QObject
{
    Q_OBJECT

private slots:
    void aWubiTestSurvivesAnIBusRestart()
    {
        SKIP_UNLESS(missingIBus());
        if (qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("ibus"))
            QSKIP("needs QT_IM_MODULE=ibus");
        RealClient client;
        QVERIFY(client.start({QStringLiteral("ime 五笔"), QStringLiteral("text ") + kText}));
        QVERIFY(client.listFilled());
        QCOMPARE(client.imes.framework(), QStringLiteral("ibus"));
        QCOMPARE(client.c->ui.cmbshurufa->items(),
                 (QStringList{QStringLiteral("英语（美国）"), QStringLiteral("海峰五笔86"),
                              QStringLiteral("极点五笔 86（极爽词库 6.0）")}));
        QVERIFY(client.pick(QStringLiteral("海峰五笔86")));
        QVERIFY(client.loadText(kText));
        QTRY_COMPARE_WITH_TIMEOUT(ibus({QStringLiteral("engine")}), kHaifeng, 10000);
        TextModel *typed = client.c->ui.txt2;
        QVERIFY(typeUntil(
            QStringLiteral("ggll "), QStringLiteral("一"), [&] { return typed->text(); },
            [&] { typed->setText(QString()); }));

        client.screenshot(QStringLiteral("ibus-english"));
        // The student restarts IBus (its panel offers it), then switches to the keyboard.
        const QString before = ibus({QStringLiteral("address")});
        QVERIFY(!before.isEmpty());
        QVERIFY(run({QStringLiteral("restart")}));
        QTRY_VERIFY_WITH_TIMEOUT(ibus({QStringLiteral("address")}) != before &&
                                     !ibus({QStringLiteral("list-engine")}).isEmpty(),
                                 20000);
        QTRY_VERIFY_WITH_TIMEOUT(run({QStringLiteral("engine"), QStringLiteral("xkb:us::eng")}),
                                 10000);
        QTRY_COMPARE_WITH_TIMEOUT(ibus({QStringLiteral("engine")}), QStringLiteral("xkb:us::eng"),
                                  10000);
        // The next key finds the new daemon and pulls it back to Wubi.
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("shift")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(ibus({QStringLiteral("engine")}), kHaifeng, 10000);
        QCOMPARE(client.imes.framework(), QStringLiteral("ibus"));
    }
};

CLIENT_TEST(IBusClientRealTest)
#include "tst_ibusclient.moc"
