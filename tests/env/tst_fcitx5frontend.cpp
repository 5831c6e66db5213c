#include "TestRegistry.h"
#include "env/Fcitx5FrontendCheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class Fcitx5FrontendCheckTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_withPlugin;
    QTemporaryDir m_withoutPlugin;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_withPlugin.path()).mkpath(QStringLiteral("platforminputcontexts")));
        QFile plugin(m_withPlugin.filePath(
            QStringLiteral("platforminputcontexts/libfcitx5platforminputcontextplugin.so")));
        QVERIFY(plugin.open(QIODevice::WriteOnly));
        QVERIFY(QDir(m_withoutPlugin.path()).mkpath(QStringLiteral("platforminputcontexts")));
        QFile other(m_withoutPlugin.filePath(
            QStringLiteral("platforminputcontexts/libibusplatforminputcontextplugin.so")));
        QVERIFY(other.open(QIODevice::WriteOnly));
    }

    void message_data()
    {
        QTest::addColumn<QString>("module");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("plugin");
        QTest::addColumn<QString>("expected"); // a word the message holds; empty: no message
        const QString install = QStringLiteral("fcitx5-frontend-qt6");
        const QString variable = QStringLiteral("QT_IM_MODULE");
        QTest::newRow("fcitx asked, plugin missing") << "fcitx" << false << false << install;
        QTest::newRow("fcitx5 asked, plugin missing") << "fcitx5" << true << false << install;
        QTest::newRow("fcitx asked, plugin there") << "fcitx" << true << true << QString();
        QTest::newRow("fcitx5 runs, nothing asked, plugin missing")
            << "" << true << false << install;
        QTest::newRow("fcitx5 runs, nothing asked, plugin there") << "" << true << true << variable;
        QTest::newRow("ibus asked") << "ibus" << true << false << QString();
        QTest::newRow("no framework") << "" << false << false << QString();
    }
    void message()
    {
        QFETCH(QString, module);
        QFETCH(bool, running);
        QFETCH(bool, plugin);
        QFETCH(QString, expected);
        const QStringList folders = {m_withoutPlugin.path(),
                                     plugin ? m_withPlugin.path() : QStringLiteral("/nonexistent")};
        const std::optional<QString> message =
            Fcitx5FrontendCheck::missingPluginMessage(module, running, folders);
        if (expected.isEmpty()) {
            QCOMPARE(message, std::nullopt);
        } else {
            QVERIFY(message);
            QVERIFY2(message->contains(expected), qPrintable(*message));
            QVERIFY(message->contains(QStringLiteral("无法输入中文")));
        }
    }
};

CLIENT_TEST(Fcitx5FrontendCheckTest)
#include "tst_fcitx5frontend.moc"
