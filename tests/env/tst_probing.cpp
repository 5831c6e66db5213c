#include "TestRegistry.h"
#include "env/ProbingInputMethods.h"

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
};

CLIENT_TEST(ProbingInputMethodsTest)
#include "tst_probing.moc"
