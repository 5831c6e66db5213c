// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "env/InputMethodSelection.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

namespace {

struct Fixture
{
    explicit Fixture(const QStringList &descriptions)
    {
        env.inputMethods.setDescriptions(descriptions);
        env.createLogic();
        env.client().ui.Timer4->stop();
    }
    Client &c() { return env.client(); }
    InputMethodSelection &imes() { return *c().imes; }
    ChoiceList &list() { return *c().ui.cmbshurufa; }
    // The student picks the item with this text.
    void pick(const QString &text)
    {
        const int index = int(list().items().indexOf(text));
        QVERIFY2(index >= 0, qPrintable(text));
        list().activate(index);
    }
    LogicEnv env;
};

const QString kEnglish = QStringLiteral("英语（美国）");

} // namespace

class InputMethodSelectionTest : public QObject
{
    Q_OBJECT

private slots:
    void theRuleFiltersTheDescriptions_data()
    {
        QTest::addColumn<QStringList>("descriptions");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("items");
        const QStringList desktop = {"", "五笔字型", "拼音", "", "五笔拼音"};
        QTest::newRow("wubi") << desktop << "五笔" << QStringList{kEnglish, "五笔字型", "五笔拼音"};
        QTest::newRow("everything, blanks around")
            << desktop << " 不限制  " << QStringList{kEnglish, "五笔字型", "拼音", "五笔拼音"};
        QTest::newRow("rule untrimmed") << desktop << " 五笔" << QStringList{kEnglish};
        QTest::newRow("nothing matches") << desktop << "仓颉" << QStringList{kEnglish};
        QTest::newRow("empty rule")
            << desktop << "" << QStringList{kEnglish, "五笔字型", "拼音", "五笔拼音"};
        QTest::newRow("twice the same") << QStringList{"", "海峰五笔86", "海峰五笔86"} << "五笔"
                                        << QStringList{kEnglish, "海峰五笔86", "海峰五笔86"};
        QTest::newRow("no framework") << QStringList{""} << "不限制" << QStringList{kEnglish};
    }
    void theRuleFiltersTheDescriptions()
    {
        QFETCH(QStringList, descriptions);
        QFETCH(QString, rule);
        Fixture f(descriptions);
        f.imes().FillShurufa(rule);
        QTEST(f.list().items(), "items");
        QCOMPARE(f.list().currentIndex(), 0);
    }

    void pickingActivatesTheFirstEntryOfThatDescription_data()
    {
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("id");
        QTest::newRow("english binds to the first entry") << kEnglish << "im0";
        QTest::newRow("wubi") << "五笔字型"
                              << "im1";
        QTest::newRow("a description twice: the first") << "海峰五笔86"
                                                        << "im2";
    }
    void pickingActivatesTheFirstEntryOfThatDescription()
    {
        QFETCH(QString, picked);
        QFETCH(QString, id);
        // The first entry is not an English one: "英语（美国）" still stands for it.
        Fixture f({"中文 - 五笔", "五笔字型", "海峰五笔86", "海峰五笔86"});
        f.imes().FillShurufa(QStringLiteral("不限制"));
        f.env.inputMethods.switchAway(QStringLiteral("elsewhere"));
        f.pick(picked);
        QCOMPARE(f.c().state.ActIme, id);
        QCOMPARE(f.env.inputMethods.active(), id);
    }

    void theKeyboardIsPulledBackOnlyWhenItWasSwitchedAway()
    {
        Fixture f({"", "五笔字型"});
        f.imes().FillShurufa(QStringLiteral("五笔"));
        f.pick(QStringLiteral("五笔字型"));
        FakeInputMethodService &service = f.env.inputMethods;
        service.activations.clear();
        f.imes().reactivate();
        QCOMPARE(service.activations, QStringList());
        service.switchAway(QStringLiteral("im0"));
        f.imes().reactivate();
        QCOMPARE(service.activations, QStringList{QStringLiteral("im1")});
    }

    void atMostSixteenEntries()
    {
        QStringList descriptions;
        for (int i = 0; i < 20; ++i)
            descriptions << QStringLiteral("五笔 %1").arg(i);
        Fixture f(descriptions);
        f.imes().FillShurufa(QStringLiteral("五笔"));
        QCOMPARE(f.imes().installed().size(), InputMethodSelection::kMaxEntries);
        QCOMPARE(f.list().count(), 1 + InputMethodSelection::kMaxEntries);
        QCOMPARE(f.list().items().last(), QStringLiteral("五笔 15"));
    }

    // Every fill asks the framework again: the student may have set up another input method.
    void eachFillReadsTheFrameworkAgain()
    {
        Fixture f({"", "拼音"});
        const int before = f.env.inputMethods.reads;
        f.imes().FillShurufa(QStringLiteral("五笔"));
        QCOMPARE(f.list().items(), QStringList{kEnglish});
        f.env.inputMethods.setDescriptions({"", "拼音", "五笔字型"});
        f.imes().FillShurufa(QStringLiteral("五笔"));
        QCOMPARE(f.list().items(), (QStringList{kEnglish, QStringLiteral("五笔字型")}));
        QCOMPARE(f.env.inputMethods.reads, before + 2);
    }

    void aListThatCannotBeReadKeepsTheLastOne()
    {
        Fixture f({"", "五笔字型"});
        f.imes().FillShurufa(QStringLiteral("五笔"));
        f.env.inputMethods.failure = QStringLiteral("fcitx5: no reply");
        f.imes().FillShurufa(QStringLiteral("不限制"));
        QCOMPARE(f.list().items(), (QStringList{kEnglish, QStringLiteral("五笔字型")}));
        QCOMPARE(f.env.dialogs.count(), 0);
    }

    void aSetupProblemIsToldOnceAtStartUp()
    {
        LogicEnv env;
        env.inputMethods.problem = QStringLiteral("请先安装软件包 fcitx5-frontend-qt6");
        env.createLogic();
        env.client().ui.Timer4->stop();
        QCOMPARE(env.dialogs.count(), 1);
        QCOMPARE(env.dialogs.lastBox().text, env.inputMethods.problem);
        QCOMPARE(env.dialogs.lastBox().title, QStringLiteral("注意"));
        env.client().imes->FillShurufa(QStringLiteral("五笔"));
        QCOMPARE(env.dialogs.count(), 1);
    }

    void noSetupProblemNoBox()
    {
        Fixture f({""});
        QCOMPARE(f.env.dialogs.count(), 0);
    }
};

CLIENT_TEST(InputMethodSelectionTest)
#include "tst_inputmethodselection.moc"
