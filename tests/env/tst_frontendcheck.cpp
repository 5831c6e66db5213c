// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/FrontendCheck.h"
#include "tests/support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class FrontendCheckTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_withPlugin;
    QTemporaryDir m_withoutPlugin;
    QTemporaryDir m_withFcitx4;

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
        QVERIFY(QDir(m_withFcitx4.path()).mkpath(QStringLiteral("platforminputcontexts")));
        QFile fcitx4(m_withFcitx4.filePath(
            QStringLiteral("platforminputcontexts/libfcitxplatforminputcontextplugin-qt6.so")));
        QVERIFY(fcitx4.open(QIODevice::WriteOnly));
    }

    void message_data()
    {
        QTest::addColumn<QString>("framework"); // the one that runs
        QTest::addColumn<QString>("module");
        QTest::addColumn<QString>("plugins");  // which frameworks' plugins are installed
        QTest::addColumn<QString>("expected"); // a word the message holds; empty: no message
        const QString install5 = QStringLiteral("fcitx5-frontend-qt6");
        const QString install4 = QStringLiteral("sudo apt install fcitx-frontend-qt6");
        const QString variable = QStringLiteral("QT_IM_MODULE");
        QTest::newRow("fcitx asked, nothing runs, no plugin") << "none"
                                                              << "fcitx"
                                                              << "" << install5;
        QTest::newRow("fcitx5 asked, plugin missing") << "fcitx5"
                                                      << "fcitx5"
                                                      << "" << install5;
        QTest::newRow("fcitx asked, plugin there") << "fcitx5"
                                                   << "fcitx"
                                                   << "5" << QString();
        QTest::newRow("fcitx5 runs, nothing asked, plugin missing") << "fcitx5"
                                                                    << ""
                                                                    << "" << install5;
        QTest::newRow("fcitx5 runs, nothing asked, plugin there") << "fcitx5"
                                                                  << ""
                                                                  << "5" << variable;
        QTest::newRow("fcitx5 runs, ibus asked") << "fcitx5"
                                                 << "ibus"
                                                 << "" << QString();
        QTest::newRow("no framework") << "none"
                                      << ""
                                      << "" << QString();
        // fcitx 4 needs its own plugin: fcitx5's answers to "fcitx" but talks to fcitx5 only.
        QTest::newRow("fcitx 4, only fcitx5's plugin") << "fcitx4"
                                                       << "fcitx"
                                                       << "5" << install4;
        QTest::newRow("fcitx 4, its plugin") << "fcitx4"
                                             << "fcitx"
                                             << "4" << QString();
        QTest::newRow("fcitx 4, nothing asked") << "fcitx4"
                                                << ""
                                                << "4"
                                                << "im-config -n fcitx";
        QTest::newRow("ibus, fcitx asked") << "ibus"
                                           << "fcitx"
                                           << "5"
                                           << "im-config -n ibus";
        QTest::newRow("ibus, ibus asked") << "ibus"
                                          << "ibus"
                                          << "" << QString();
        QTest::newRow("ibus, nothing asked") << "ibus"
                                             << ""
                                             << "" << QString();
    }
    void message()
    {
        QFETCH(QString, framework);
        QFETCH(QString, module);
        QFETCH(QString, plugins);
        QFETCH(QString, expected);
        QStringList folders = {m_withoutPlugin.path()};
        if (plugins.contains(u'5'))
            folders << m_withPlugin.path();
        if (plugins.contains(u'4'))
            folders << m_withFcitx4.path();
        const std::optional<QString> message =
            FrontendCheck::missingPluginMessage(framework, module, folders);
        if (expected.isEmpty()) {
            QCOMPARE(message, std::nullopt);
        } else {
            QVERIFY(message);
            QVERIFY2(message->contains(expected), qPrintable(*message));
            QVERIFY(message->contains(QStringLiteral("无法输入中文")));
        }
    }
};

CLIENT_TEST(FrontendCheckTest)
#include "tst_frontendcheck.moc"
