// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/BusCalls.h"
#include "env/ProbingInputMethods.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

using namespace realsession;

// Which framework the client takes in a real session: run with no daemon, with IBus alone
// and with both, the expectation follows what session.sh started.
class ProbingRealTest : public QObject
{
    Q_OBJECT

    static bool owned(const QString &name)
    {
        return buscalls::nameHasOwner(QDBusConnection::sessionBus(), name) == true;
    }

private slots:
    void initTestCase() { SKIP_UNLESS(missingX11()); }

    void takesTheFrameworkThatRuns()
    {
        const bool fcitx5 = qEnvironmentVariableIsSet("CLIENT_REAL_FCITX5");
        const bool ibus = qEnvironmentVariableIsSet("CLIENT_REAL_IBUS");
        ProbingInputMethods imes;
        const InputMethodListing listing = imes.read();
        QVERIFY2(listing.ok(), qPrintable(listing.error));
        // fcitx5 wins when both run.
        const QString expected = fcitx5 ? QStringLiteral("fcitx5")
                                 : ibus ? QStringLiteral("ibus")
                                        : QStringLiteral("none");
        QCOMPARE(imes.framework(), expected);
        QVERIFY(!listing.entries.isEmpty());
    }

    // With fcitx5 running, Qt 6 needs QT_IM_MODULE=fcitx (and fcitx5's plugin, installed here).
    void aSetupProblemIsToldOnlyUnderFcitx5()
    {
        ProbingInputMethods imes;
        const QString problem = imes.setupProblem();
        if (qEnvironmentVariableIsSet("CLIENT_REAL_FCITX5") &&
            qEnvironmentVariable("QT_IM_MODULE").isEmpty())
            QVERIFY2(problem.contains(QStringLiteral("QT_IM_MODULE")), qPrintable(problem));
        else
            QCOMPARE(problem, QString());
    }

    // Both frameworks install D-Bus activation files; looking for them must not start one.
    void lookingStartsNoDaemon()
    {
        if (qEnvironmentVariableIsSet("CLIENT_REAL_FCITX5"))
            QSKIP("fcitx5 runs in this session");
        QVERIFY(!owned(QStringLiteral("org.fcitx.Fcitx5")));
        ProbingInputMethods imes;
        imes.read();
        imes.activate(QStringLiteral("wbx"));
        QTest::qWait(300);
        QVERIFY(!owned(QStringLiteral("org.fcitx.Fcitx5")));
        // A running ibus-daemon also takes its name on the session bus.
        if (!qEnvironmentVariableIsSet("CLIENT_REAL_IBUS"))
            QVERIFY(!owned(QStringLiteral("org.freedesktop.IBus")));
        QCOMPARE(imes.framework(), qEnvironmentVariableIsSet("CLIENT_REAL_IBUS")
                                       ? QStringLiteral("ibus")
                                       : QStringLiteral("none"));
    }
};

CLIENT_TEST(ProbingRealTest)
#include "tst_probing.moc"
