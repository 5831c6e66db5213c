// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/Fcitx5InputMethods.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace realsession;

namespace {

// A controller under fcitx5's name that answers wrongly or not at all, served from a thread of
// its own on a second connection so the backend's waiting calls reach it through the bus.
class BrokenController : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.fcitx.Fcitx.Controller1")
public:
    enum Fault { NumberForText, WrongGroupShape, Silence };
    std::atomic<int> fault = NumberForText;

public slots:
    void InputMethodGroups()
    {
        setDelayedReply(true);
        if (fault == NumberForText)
            connection().send(message().createReply(QVariantList{42}));
        else if (fault == WrongGroupShape)
            connection().send(
                message().createReply(QVariantList{QStringList{QStringLiteral("Default")}}));
    }
    void CurrentInputMethodGroup()
    {
        setDelayedReply(true);
        if (fault == NumberForText)
            connection().send(message().createReply(QVariantList{42}));
        else if (fault == WrongGroupShape)
            connection().send(message().createReply(QVariantList{QStringLiteral("Default")}));
    }
    void InputMethodGroupInfo(const QString &)
    {
        setDelayedReply(true);
        if (fault == WrongGroupShape)
            connection().send(message().createReply(
                QVariantList{QStringLiteral("us"), QStringList{QStringLiteral("wbx")}}));
    }
    void CurrentInputMethod() { setDelayedReply(true); }
    void SetCurrentIM(const QString &) { setDelayedReply(true); }
};

} // namespace

// The fcitx5 backend when the daemon misbehaves: an error to report, never a crash, and a
// keystroke never waits for it.
class Fcitx5FaultsRealTest : public QObject
{
    Q_OBJECT

    QThread m_thread;
    BrokenController *m_controller = nullptr;
    QDBusConnection m_serving{QString()};

private slots:
    void initTestCase()
    {
        SKIP_UNLESS(missingX11());
        if (qEnvironmentVariableIsSet("CLIENT_REAL_FCITX5"))
            QSKIP("a real fcitx5 owns the name in this session");
        m_serving = QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                  QStringLiteral("broken-fcitx5"));
        QVERIFY(m_serving.isConnected());
        m_controller = new BrokenController;
        m_controller->moveToThread(&m_thread);
        connect(&m_thread, &QThread::finished, m_controller, &QObject::deleteLater);
        m_thread.start();
        QVERIFY(m_serving.registerObject(QStringLiteral("/controller"), m_controller,
                                         QDBusConnection::ExportAllSlots));
        QVERIFY(m_serving.registerService(Fcitx5InputMethods::serviceName()));
    }
    void cleanupTestCase()
    {
        if (m_serving.isConnected()) {
            m_serving.unregisterService(Fcitx5InputMethods::serviceName());
            m_serving.unregisterObject(QStringLiteral("/controller"));
            QDBusConnection::disconnectFromBus(QStringLiteral("broken-fcitx5"));
        }
        m_thread.quit();
        m_thread.wait();
    }

    void malformedRepliesAreErrors_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("said");
        QTest::newRow("a number for the group")
            << int(BrokenController::NumberForText) << QStringLiteral("no input method group");
        QTest::newRow("group of another shape")
            << int(BrokenController::WrongGroupShape) << QStringLiteral("Default");
        QTest::newRow("no answer") << int(BrokenController::Silence) << QStringLiteral("fcitx5");
    }
    void malformedRepliesAreErrors()
    {
        QFETCH(int, fault);
        QFETCH(QString, said);
        m_controller->fault = fault;
        Fcitx5InputMethods imes(QDBusConnection::sessionBus());
        const InputMethodListing listing = imes.read();
        QVERIFY(!listing.ok());
        QVERIFY(listing.entries.isEmpty());
        QVERIFY2(listing.error.contains(said), qPrintable(listing.error));
    }

    void aSilentDaemonNeverHoldsAKeystroke()
    {
        m_controller->fault = BrokenController::Silence;
        Fcitx5InputMethods imes(QDBusConnection::sessionBus());
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 100; ++i)
            imes.activate(QStringLiteral("wbx"));
        QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(imes.busy());
        // The unanswered question times out; the backend is ready for the next keystroke.
        QTRY_VERIFY_WITH_TIMEOUT(!imes.busy(), 5000);
        QCOMPARE(imes.active(), QString());
    }
};

CLIENT_TEST(Fcitx5FaultsRealTest)
#include "tst_fcitx5faults.moc"
