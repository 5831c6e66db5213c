// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/BusCalls.h"
#include "env/ChineseNames.h"
#include "env/IBusAddress.h"
#include "env/IBusInputMethods.h"
#include "env/IBusSetup.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QLineEdit>
#include <QTest>

using namespace realsession;

namespace {
const QString kHaifeng = QStringLiteral("table:wubi-haifeng86");
const QString kJidian = QStringLiteral("table:wubi-jidian86");
const QString kKeyboard = QStringLiteral("xkb:us::eng");
} // namespace

// The IBus backend against a real ibus-daemon on its own bus (Wubi tables) under the locale
// session.sh gave it, set up IBus's way or GNOME's, found the way the client finds it: the
// address file of this display.
class IBusBackendRealTest : public QObject
{
    Q_OBJECT

    QDBusConnection m_bus{QString()};

    static bool gnome() { return qEnvironmentVariableIsSet("CLIENT_REAL_IBUS_GNOME"); }

    // Another client of the daemon, switching the way the student's hot key does.
    void switchFromOutside(const QString &id)
    {
        const QDBusMessage reply = buscalls::callAndWait(
            m_bus, buscalls::methodCall(QStringLiteral("org.freedesktop.IBus"),
                                        QStringLiteral("/org/freedesktop/IBus"),
                                        QStringLiteral("org.freedesktop.IBus"),
                                        QStringLiteral("SetGlobalEngine"), {id}));
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    }

private slots:
    void initTestCase()
    {
        SKIP_UNLESS(missingIBus());
        const std::optional<QString> address =
            IBusAddress::find(QProcessEnvironment::systemEnvironment(),
                              QString::fromLatin1(QDBusConnection::localMachineId()));
        QVERIFY2(address, "the daemon's address file was not found");
        m_bus = QDBusConnection::connectToBus(*address, QStringLiteral("ibus-test"));
        QVERIFY2(m_bus.isConnected(), qPrintable(m_bus.lastError().message()));
    }

    void theSetupIsReadFromTheSettingsStore()
    {
        const IBusSetup setup = IBusSetup::read();
        if (gnome()) {
            // GNOME keeps its input sources and leaves IBus's own list empty.
            QCOMPARE(setup.preloadEngines, QStringList());
            const QList<std::pair<QString, QString>> sources = {
                {QStringLiteral("xkb"), QStringLiteral("us")},
                {QStringLiteral("ibus"), kJidian},
                {QStringLiteral("ibus"), kHaifeng}};
            QCOMPARE(setup.inputSources, sources);
        } else {
            QCOMPARE(setup.preloadEngines, (QStringList{kKeyboard, kHaifeng, kJidian}));
        }
    }

    // Whatever language the daemon runs in (C.UTF-8 gives "WuBiHaifeng86", zh_TW "五筆"), the
    // engines carry their Chinese names, in the order the desktop keeps them.
    void listsTheSetUpEnginesInOrderWithChineseNames()
    {
        IBusInputMethods imes(m_bus, &IBusSetup::read,
                              chinesenames::dataFolders(QProcessEnvironment::systemEnvironment()));
        const InputMethodListing listing = imes.read();
        QVERIFY2(listing.ok(), qPrintable(listing.error));
        const InputMethodEntry keyboard{kKeyboard, QString()};
        const InputMethodEntry haifeng{kHaifeng, QStringLiteral("海峰五笔86")};
        const InputMethodEntry jidian{kJidian, QStringLiteral("极点五笔 86（极爽词库 6.0）")};
        const QList<InputMethodEntry> expected =
            gnome() ? QList<InputMethodEntry>{keyboard, jidian, haifeng}
                    : QList<InputMethodEntry>{keyboard, haifeng, jidian};
        QCOMPARE(listing.entries, expected);
    }

    void anEngineNotInstalledIsLeftOut()
    {
        IBusInputMethods imes(
            m_bus,
            [] {
                return IBusSetup{{QStringLiteral("table:nonexistent"), kHaifeng}, {}};
            },
            chinesenames::dataFolders(QProcessEnvironment::systemEnvironment()));
        const InputMethodListing listing = imes.read();
        QVERIFY2(listing.ok(), qPrintable(listing.error));
        QCOMPARE(listing.entries,
                 (QList<InputMethodEntry>{{kHaifeng, QStringLiteral("海峰五笔86")}}));
    }

    void activationSwitchesAndAnOutsideSwitchIsSeen()
    {
        IBusInputMethods imes(m_bus, &IBusSetup::read);
        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));

        imes.activate(kJidian);
        QVERIFY(imes.busy());
        QTRY_VERIFY(!imes.busy());
        QCOMPARE(imes.active(), kJidian);

        // The hot key's switch arrives as the daemon's signal, without any call of ours.
        switchFromOutside(kHaifeng);
        QTRY_COMPARE(imes.active(), kHaifeng);
        // Already active: nothing to call.
        imes.activate(kHaifeng);
        QVERIFY(!imes.busy());
        imes.activate(kJidian);
        QTRY_VERIFY(!imes.busy());
        QTRY_COMPARE(imes.active(), kJidian);
    }

    void typedWubiCodesCommit()
    {
        if (qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("ibus"))
            QSKIP("needs QT_IM_MODULE=ibus");
        IBusInputMethods imes(m_bus, &IBusSetup::read);
        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        edit.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        imes.activate(kHaifeng);
        QTRY_COMPARE(imes.active(), kHaifeng);
        // ibus-table commits a code with the space.
        QVERIFY(typeUntil(
            QStringLiteral("ggll "), QStringLiteral("一"), [&] { return edit.text(); },
            [&] { edit.clear(); }));
    }
};

CLIENT_TEST(IBusBackendRealTest)
#include "tst_ibusbackend.moc"
