// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/BusCalls.h"
#include "env/Fcitx5InputMethods.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace realsession;

// The fcitx5 backend against a real fcitx5 (profile keyboard-us, wbx, pinyin; English
// locale), with a Qt 6 line edit under QT_IM_MODULE=fcitx as the focused input context.
class Fcitx5BackendRealTest : public QObject
{
    Q_OBJECT

    QDBusConnection bus() const { return QDBusConnection::sessionBus(); }

    QString currentInputMethod() const
    {
        return buscalls::firstText(
                   buscalls::callAndWait(
                       bus(), buscalls::methodCall(Fcitx5InputMethods::serviceName(),
                                                   QStringLiteral("/controller"),
                                                   QStringLiteral("org.fcitx.Fcitx.Controller1"),
                                                   QStringLiteral("CurrentInputMethod"))))
            .value;
    }

    // fcitx5 switches the focused input context only: give it one, and wait until the first
    // switch takes.
    void focusedEdit(QLineEdit &edit, Fcitx5InputMethods &imes)
    {
        edit.setWindowTitle(QStringLiteral("fcitx5 测试"));
        edit.show();
        edit.activateWindow();
        edit.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        QTRY_VERIFY_WITH_TIMEOUT(
            (imes.activate(QStringLiteral("pinyin")), imes.active() == QStringLiteral("pinyin")),
            10000);
    }

private slots:
    void init() { SKIP_UNLESS(missingFcitx5()); }

    void listsTheGroupInOrderWithNativeNames()
    {
        Fcitx5InputMethods imes(bus());
        const InputMethodListing listing = imes.read();
        QVERIFY2(listing.ok(), qPrintable(listing.error));
        // The daemon runs in English: the Wubi entry must still say 五笔.
        const QList<InputMethodEntry> expected = {
            {QStringLiteral("keyboard-us"), QString()},
            {QStringLiteral("wbx"), QStringLiteral("五笔字型")},
            {QStringLiteral("pinyin"), QStringLiteral("拼音")}};
        QCOMPARE(listing.entries, expected);
        QVERIFY(!imes.active().isEmpty());
    }

    void activationSwitchesAndIsReadBack_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("wubi") << QStringLiteral("wbx");
        QTest::newRow("keyboard") << QStringLiteral("keyboard-us");
        QTest::newRow("pinyin") << QStringLiteral("pinyin");
    }
    void activationSwitchesAndIsReadBack()
    {
        QFETCH(QString, id);
        Fcitx5InputMethods imes(bus());
        QLineEdit edit;
        focusedEdit(edit, imes);
        imes.activate(id);
        QVERIFY(imes.busy()); // the call went out without waiting
        QTRY_VERIFY(!imes.busy());
        QCOMPARE(imes.active(), id);
        QCOMPARE(currentInputMethod(), id);
    }

    // A burst of keystrokes asks fcitx5 a few times, not once per key.
    void aBurstOfRequestsIsServedByFewCalls()
    {
        Fcitx5InputMethods imes(bus());
        QLineEdit edit;
        focusedEdit(edit, imes);
        QSignalSpy answers(&imes, &Fcitx5InputMethods::activeSeen);
        for (int i = 0; i < 50; ++i)
            imes.activate(QStringLiteral("wbx"));
        QTRY_VERIFY(!imes.busy());
        QCOMPARE(currentInputMethod(), QStringLiteral("wbx"));
        // Ask, switch, read back, and one more question for the keys that came meanwhile.
        QVERIFY2(answers.count() <= 3, qPrintable(QString::number(answers.count())));
    }

    // The whole path of a student: Wubi codes typed on the keyboard arrive as characters, the
    // hot key switches away, and the next activation pulls fcitx5 back.
    void typedWubiCodesCommitAndTheHotKeyIsUndone()
    {
        if (qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("fcitx"))
            QSKIP("needs QT_IM_MODULE=fcitx");
        Fcitx5InputMethods imes(bus());
        QLineEdit edit;
        focusedEdit(edit, imes);
        imes.activate(QStringLiteral("wbx"));
        QTRY_COMPARE(imes.active(), QStringLiteral("wbx"));
        // The table loads a little after the daemon starts: retype until it answers.
        QVERIFY(typeUntil(
            QStringLiteral("ggll"), QStringLiteral("一"), [&] { return edit.text(); },
            [&] { edit.clear(); }));
        QCOMPARE(xdotool({QStringLiteral("type"), QStringLiteral("wqiy ")}), 0);
        QTRY_COMPARE(edit.text(), QStringLiteral("一你"));

        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+space")}), 0);
        QTRY_COMPARE(currentInputMethod(), QStringLiteral("keyboard-us"));
        imes.activate(QStringLiteral("wbx"));
        QTRY_VERIFY(!imes.busy());
        QCOMPARE(currentInputMethod(), QStringLiteral("wbx"));
        QCOMPARE(imes.active(), QStringLiteral("wbx"));
    }
};

CLIENT_TEST(Fcitx5BackendRealTest)
#include "tst_fcitx5backend.moc"
