// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/BusCalls.h"
#include "env/Fcitx5InputMethods.h"
#include "tests/realenv/RealClient.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QDBusMetaType>
#include <QTest>

#include <algorithm>

using namespace realsession;

namespace {

QDBusMessage controller(const QString &method, const QVariantList &arguments = {})
{
    return buscalls::callAndWait(
        QDBusConnection::sessionBus(),
        buscalls::methodCall(Fcitx5InputMethods::serviceName(), QStringLiteral("/controller"),
                             QStringLiteral("org.fcitx.Fcitx.Controller1"), method, arguments));
}

QString text(const QString &method)
{
    return buscalls::firstText(controller(method)).value;
}

const QString kWubiGroup = QStringLiteral("五笔");
const QString kPinyinGroup = QStringLiteral("拼音");
// Long enough that letters committed by an escape never complete the test.
const QString kText = QStringLiteral("春天来了，小河里的冰化了，柳树发芽了，燕子从南方飞回来了。");

// An entry of a group: (input method, layout).
struct Item
{
    QString id;
    QString layout;
};
QDBusArgument &operator<<(QDBusArgument &argument, const Item &item)
{
    argument.beginStructure();
    argument << item.id << item.layout;
    argument.endStructure();
    return argument;
}
const QDBusArgument &operator>>(const QDBusArgument &argument, Item &item)
{
    argument.beginStructure();
    argument >> item.id >> item.layout;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(Item)

// fcitx5 as a computer room sets it up: one group per input method (五笔: keyboard-us, wbx;
// 拼音: keyboard-us, pinyin), fcitx5's default ShareInputState=No, an English locale. The real
// client takes a Wubi test; the student's escapes are the real hot keys and the real keys
// typed with xdotool, and each must be undone before a phrase can be committed.
class Fcitx5GroupsRealTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<Item>();
        qDBusRegisterMetaType<QList<Item>>();
    }
    void init()
    {
        SKIP_UNLESS(missingFcitx5());
        if (!qEnvironmentVariableIsSet("CLIENT_REAL_FCITX5_GROUPS"))
            QSKIP("needs fcitx5 with two groups (session.sh --fcitx5-groups)");
        controller(QStringLiteral("SwitchInputMethodGroup"), {kWubiGroup});
    }

    void theListSpansEveryGroupOnce()
    {
        Fcitx5InputMethods imes(QDBusConnection::sessionBus());
        const QList<InputMethodEntry> expected = {
            {QStringLiteral("keyboard-us"), QString()},
            {QStringLiteral("wbx"), QStringLiteral("五笔字型")},
            {QStringLiteral("pinyin"), QStringLiteral("拼音")}};
        // The engines' addons load a little after the daemon answers.
        InputMethodListing listing;
        QTRY_VERIFY_WITH_TIMEOUT((listing = imes.read(), listing.entries == expected), 5000);
        // fcitx5 puts the current group first in its own list; the client's stays the same
        // whichever group the student makes current.
        for (const QString &group : {kPinyinGroup, kWubiGroup, kPinyinGroup}) {
            controller(QStringLiteral("SwitchInputMethodGroup"), {group});
            QTRY_COMPARE(text(QStringLiteral("CurrentInputMethodGroup")), group);
            listing = imes.read();
            QVERIFY2(listing.ok(), qPrintable(listing.error));
            QCOMPARE(listing.entries, expected);
        }
    }

    void escapesArePulledBackBeforeTheirCommit()
    {
        if (qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("fcitx"))
            QSKIP("needs QT_IM_MODULE=fcitx");
        // The client starts while the Pinyin group is current: Wubi must still be offered.
        controller(QStringLiteral("SwitchInputMethodGroup"), {kPinyinGroup});
        RealClient client;
        QVERIFY(client.start({QStringLiteral("ime 五笔"), QStringLiteral("text ") + kText}));
        QVERIFY(client.listFilled());
        QCOMPARE(client.c->ui.cmbshurufa->items(),
                 (QStringList{QStringLiteral("英语（美国）"), QStringLiteral("五笔字型")}));
        QVERIFY(client.pick(QStringLiteral("五笔字型")));
        // Each window has its own input method state (ShareInputState=No), and the typing
        // box takes input only once the test has started.
        QVERIFY(client.loadText(kText));
        QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("CurrentInputMethod")), QStringLiteral("wbx"),
                                  10000);
        QCOMPARE(text(QStringLiteral("CurrentInputMethodGroup")), kWubiGroup);
        QTest::qWait(500);
        TextModel *typed = client.c->ui.txt2;
        QVERIFY(typeUntil(
            QStringLiteral("dwjf"), QStringLiteral("春"), [&] { return typed->text(); },
            [&] { typed->setText(QString()); }));

        client.screenshot(QStringLiteral("fcitx5-groups"));
        // 1. The group hot key (Super+space) takes the student to the Pinyin group; the
        // Pinyin letters typed next are kept as composition, which pulls back.
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("super+space")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("CurrentInputMethodGroup")), kPinyinGroup,
                                  5000);
        QCOMPARE(xdotool({QStringLiteral("type"), QStringLiteral("nihao")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("CurrentInputMethodGroup")), kWubiGroup,
                                  5000);
        QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("CurrentInputMethod")), QStringLiteral("wbx"),
                                  5000);
        // The space that would have committed 你好 under Pinyin.
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("space")}), 0);
        QTest::qWait(300);
        QVERIFY2(!typed->text().contains(QStringLiteral("你好")), qPrintable(typed->text()));

        // 2. The group edited the way fcitx5's configuration tool does it: Wubi taken out of
        // its group and Pinyin put in. The next key puts Wubi back and activates it.
        typed->setText(QStringLiteral("春"));
        QCOMPARE(controller(QStringLiteral("SetInputMethodGroupInfo"),
                            {kWubiGroup, QStringLiteral("us"),
                             QVariant::fromValue(QList<Item>{{QStringLiteral("keyboard-us"), {}},
                                                             {QStringLiteral("pinyin"), {}}})})
                     .type(),
                 QDBusMessage::ReplyMessage);
        controller(QStringLiteral("SetCurrentIM"), {QStringLiteral("pinyin")});
        QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("CurrentInputMethod")),
                                  QStringLiteral("pinyin"), 5000);
        QCOMPARE(xdotool({QStringLiteral("type"), QStringLiteral("nihao")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("CurrentInputMethod")), QStringLiteral("wbx"),
                                  5000);
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("space")}), 0);
        QTest::qWait(300);
        QVERIFY2(!typed->text().contains(QStringLiteral("你好")), qPrintable(typed->text()));
        const QDBusMessage group = controller(QStringLiteral("InputMethodGroupInfo"),
                                              {text(QStringLiteral("CurrentInputMethodGroup"))});
        QCOMPARE(group.arguments().size(), 2);
        const auto items = qdbus_cast<QList<Item>>(group.arguments().at(1));
        QVERIFY(std::any_of(items.cbegin(), items.cend(),
                            [](const Item &item) { return item.id == QLatin1String("wbx"); }));
    }
};

CLIENT_TEST(Fcitx5GroupsRealTest)
#include "tst_fcitx5groups.moc"
