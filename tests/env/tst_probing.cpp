// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/ProbingInputMethods.h"
#include "tests/support/TestRegistry.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

// Probing where no framework answers; tests/realenv covers the real daemons.
class ProbingInputMethodsTest : public QObject
{
    Q_OBJECT

private slots:
    void withoutAFrameworkTheKeyboardAloneIsListed_data()
    {
        QTest::addColumn<QString>("ibusAddress");
        QTest::newRow("no ibus") << QString();
        QTest::newRow("stale ibus address") << QStringLiteral("unix:path=/nonexistent/ibus-socket");
        QTest::newRow("malformed ibus address") << QStringLiteral("no address at all");
    }
    void withoutAFrameworkTheKeyboardAloneIsListed()
    {
        QFETCH(QString, ibusAddress);
        QTemporaryDir home;
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        if (!ibusAddress.isEmpty())
            env.insert(QStringLiteral("IBUS_ADDRESS"), ibusAddress);
        ProbingInputMethods imes(QDBusConnection(QStringLiteral("no-such-bus")), env);
        const InputMethodListing listing = imes.read();
        QVERIFY(listing.ok());
        QCOMPARE(imes.framework(), QStringLiteral("none"));
        QCOMPARE(listing.entries.size(), 1);
        QVERIFY(listing.entries.constFirst().description.isEmpty());
        imes.activate(QStringLiteral("wbx"));
        QCOMPARE(imes.active(), listing.entries.constFirst().id);
    }

    // A daemon that takes the connection and never answers (hung, or not a bus at all): the
    // read gives up after its bound and the keyboard alone is listed.
    void aSilentIBusHoldsAReadAtMostItsBound()
    {
        QTemporaryDir folder;
        QLocalServer silent;
        QVERIFY(silent.listen(folder.filePath(QStringLiteral("ibus-socket"))));
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), folder.path());
        env.insert(QStringLiteral("IBUS_ADDRESS"),
                   QStringLiteral("unix:path=") + silent.fullServerName());
        QElapsedTimer timer;
        timer.start();
        ProbingInputMethods imes(QDBusConnection(QStringLiteral("no-such-bus")), env);
        const InputMethodListing listing = imes.read();
        QVERIFY2(timer.elapsed() < 2 * ProbingInputMethods::kProbeWaitMs + 1000,
                 qPrintable(QString::number(timer.elapsed())));
        QVERIFY(listing.ok());
        QCOMPARE(imes.framework(), QStringLiteral("none"));
        // The keyboard is not held up either.
        timer.restart();
        imes.activate(QStringLiteral("table:wubi-haifeng86"));
        QVERIFY(timer.elapsed() < 100);
    }
};

CLIENT_TEST(ProbingInputMethodsTest)
#include "tst_probing.moc"
