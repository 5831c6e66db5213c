// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Seeded random runs of the whole client without a window: every kind of server message, ticks,
// typing, the buttons, the end question, the result window, root practice and the connection,
// with the session's invariants checked after every event (tests/support/SessionInvariants.h).
// CLIENT_MODEL_RUNS and CLIENT_MODEL_EVENTS make a longer run; CLIENT_MODEL_SEED starts the
// seeds elsewhere. A failure names its seed: the same seed repeats the same run.
#include "tests/support/SessionDriver.h"
#include "tests/support/TestRegistry.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

int setting(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

class SessionModelTest : public QObject
{
    Q_OBJECT
private slots:
    void randomRunsKeepTheInvariants()
    {
        const int runs = setting("CLIENT_MODEL_RUNS", 1000);
        const int events = setting("CLIENT_MODEL_EVENTS", 200);
        const int firstSeed = setting("CLIENT_MODEL_SEED", 1);
        qint64 total = 0;
        qint64 tests = 0;
        qint64 reports = 0;
        qint64 finals = 0;
        qint64 drills = 0;
        qint64 practices = 0;
        for (int seed = firstSeed; seed < firstSeed + runs; ++seed) {
            QRandomGenerator random{quint32(seed)};
            SessionDriver driver([&random] { return uint8_t(random.bounded(256)); });
            for (int i = 0; i < events && driver.invariants().ok(); ++i)
                driver.step();
            QVERIFY2(driver.invariants().ok(),
                     qPrintable(QStringLiteral("seed %1: ").arg(seed) +
                                driver.invariants().violations().join(QStringLiteral("\n"))));
            total += driver.events();
            tests += driver.invariants().tests();
            reports += driver.invariants().reports();
            finals += driver.invariants().finals();
            drills += driver.invariants().testsBegunAs(TestSession::Phase::Drill);
            practices += driver.invariants().testsBegunAs(TestSession::Phase::RootPractice);
        }
        qInfo("%d runs, %lld events (nested ones included), %lld tests (%lld practices of "
              "mistyped characters, %lld root practices), %lld reports, %lld final",
              runs, total, tests, drills, practices, reports, finals);
        // A run that never reached the endings, the practices or the root practice would prove
        // little.
        QVERIFY(finals > runs);
        QVERIFY(drills > runs / 10);
        QVERIFY(practices > runs / 10);
    }
};

CLIENT_TEST(SessionModelTest)
#include "tst_sessionmodel.moc"
