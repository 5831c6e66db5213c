// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "env/ForbiddenScan.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

// The check's matching rules on a list of titles from the fake window source.
class ForbiddenScanTest : public QObject
{
    Q_OBJECT

private slots:
    void onlyBlanksMakeANameEmpty_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("warned");
        const QString tab = QStringLiteral("\t");
        const QString wide = QStringLiteral("\u3000");
        QTest::newRow("blanks only") << QStringLiteral("  |记事本") << QStringList{"记事本"};
        // A tab or a full-width space is part of a name, and a title holds one here.
        QTest::newRow("a tab") << tab << QStringList{tab};
        QTest::newRow("a full-width space") << wide << QStringList{wide};
        QTest::newRow("blanks kept around")
            << QStringLiteral(" 记事本") << QStringList{QStringLiteral(" 记事本")};
        QTest::newRow("across the comma")
            << QStringLiteral("事本,计算") << QStringList{QStringLiteral("事本,计算")};
    }
    void onlyBlanksMakeANameEmpty()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, warned);
        LogicEnv env;
        env.windowTitles.list = {QStringLiteral("无标题 - 记事本"), QStringLiteral("计算器\t帮助"),
                                 QStringLiteral("画图\u3000新建")};
        env.createLogic();
        env.client().ui.Timer4->stop();
        env.client().forbidden->check(list);
        QStringList texts;
        for (int i = 0; i < env.dialogs.count(); ++i)
            texts << env.dialogs.shown.at(i).text;
        QStringList expected;
        for (const QString &name : std::as_const(warned))
            expected << QStringLiteral("【") + name +
                            QStringLiteral("】不允许在检测期间运行，请先关闭再继续！");
        QCOMPARE(texts, expected);
    }
};

CLIENT_TEST(ForbiddenScanTest)
#include "tst_forbiddenscan.moc"
