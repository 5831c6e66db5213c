// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/BusCalls.h"
#include "env/ChineseNames.h"
#include "env/Fcitx4InputMethods.h"
#include "tests/realenv/RealClient.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

using namespace realsession;

namespace {

QString currentIM()
{
    return buscalls::firstText(
               buscalls::callAndWait(
                   QDBusConnection::sessionBus(),
                   buscalls::methodCall(Fcitx4InputMethods::serviceName(),
                                        QStringLiteral("/inputmethod"),
                                        QStringLiteral("org.fcitx.Fcitx.InputMethod"),
                                        QStringLiteral("GetCurrentIM"))))
        .value;
}

const QString kText = QStringLiteral("一天又一天，春天来了，小河里的冰化了，柳树发芽了。");

} // namespace

// fcitx 4 (Debian 12's 4.2.9.9, run from its unpacked packages) under an English locale,
// where it calls Wubi "Wubi": the list still says 五笔字型, only the profile's input methods
// count, and the real client takes a Wubi test with it.
class Fcitx4RealTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { SKIP_UNLESS(missingFcitx4()); }

    void listsTheEnabledInputMethodsWithChineseNames()
    {
        const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        Fcitx4InputMethods imes(
            QDBusConnection::sessionBus(),
            chinesenames::dataFolders(environment, {environment.value(QStringLiteral("FCITXDIR")) +
                                                    QStringLiteral("/share")}));
        const InputMethodListing listing = imes.read();
        QVERIFY2(listing.ok(), qPrintable(listing.error));
        // fcitx knows some three hundred keyboard layouts; the profile enables two entries.
        const QList<InputMethodEntry> expected = {
            {QStringLiteral("fcitx-keyboard-us"), QString()},
            {QStringLiteral("wubi"), QStringLiteral("五笔字型")}};
        QCOMPARE(listing.entries, expected);
    }

    void aWubiTestWithTheHotKeyUndone()
    {
        if (qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("fcitx"))
            QSKIP("needs QT_IM_MODULE=fcitx");
        RealClient client;
        QVERIFY(client.start({QStringLiteral("ime 五笔"), QStringLiteral("text ") + kText}));
        QVERIFY(client.listFilled());
        QCOMPARE(client.imes.framework(), QStringLiteral("fcitx4"));
        // fcitx 4 with its Qt 6 plugin: nothing to tell the student.
        QCOMPARE(client.startupBoxes, 0);
        QCOMPARE(client.c->ui.cmbshurufa->items(),
                 (QStringList{QStringLiteral("英语（美国）"), QStringLiteral("五笔字型")}));
        QVERIFY(client.pick(QStringLiteral("五笔字型")));
        QVERIFY(client.loadText(kText));
        QTRY_COMPARE_WITH_TIMEOUT(currentIM(), QStringLiteral("wubi"), 10000);
        TextModel *typed = client.c->ui.txt2;
        // A full code with one candidate commits by itself in fcitx's Wubi.
        QVERIFY2(typeUntil(
                     QStringLiteral("ggll"), QStringLiteral("一"), [&] { return typed->text(); },
                     [&] { typed->setText(QString()); }),
                 qPrintable(typed->text()));

        client.screenshot(QStringLiteral("fcitx4"));
        // The student's hot key switches to the keyboard; the next key pulls Wubi back.
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+space")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(currentIM(), QStringLiteral("fcitx-keyboard-us"), 5000);
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("shift")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(currentIM(), QStringLiteral("wubi"), 5000);
        QVERIFY2(typeUntil(
                     QStringLiteral("gdi "), QStringLiteral("一天"), [&] { return typed->text(); },
                     [&] { typed->setText(QStringLiteral("一")); }),
                 qPrintable(typed->text()));
    }
};

CLIENT_TEST(Fcitx4RealTest)
#include "tst_fcitx4.moc"
