// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/AppSettings.h"
#include "core/Gbk.h"
#include "tests/support/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class AppSettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void port_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port"); // 0: none
        QTest::newRow("lowest") << "1024" << 1024;
        QTest::newRow("highest") << "65000" << 65000;
        QTest::newRow("below") << "1023" << 0;
        QTest::newRow("above") << "65001" << 0;
        QTest::newRow("blanks around") << " 2000 " << 2000;
        QTest::newRow("no number") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void port()
    {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(AppSettings::port(text).value_or(0), port);
    }

    // What the dialogs store reads back at the next start, in the file's own order of keys;
    // a file beside a read-only program gives what the user's own file leaves empty.
    void writesReadBack()
    {
        QTemporaryDir dir;
        const AppSettings settings(AppPaths::inFolder(dir.path()));
        QVERIFY(settings
                    .writeIdentity(
                        {QStringLiteral("李明"), QStringLiteral("31"), QStringLiteral("三班")})
                    .isEmpty());
        QVERIFY(
            settings.writeServer(QStringLiteral("192.168.1.10"), QStringLiteral("8080")).isEmpty());
        QFile file(dir.filePath(QStringLiteral("appset.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString content = gbk::decode(file.readAll());
        QVERIFY(content.indexOf(QStringLiteral("name=")) <
                content.indexOf(QStringLiteral("xuehao=")));
        QVERIFY(content.indexOf(QStringLiteral("xuehao=")) <
                content.indexOf(QStringLiteral("banji=")));
        QVERIFY(content.indexOf(QStringLiteral("ip=")) < content.indexOf(QStringLiteral("port=")));
        QCOMPARE(settings.readServer().ip, QStringLiteral("192.168.1.10"));
        QCOMPARE(settings.readServer().port, 8080);
        QCOMPARE(settings.readIdentity().banji, QStringLiteral("三班"));

        // An unusable port in the file gives the default.
        QVERIFY(settings.writeServer(QStringLiteral("h"), QStringLiteral("99999")).isEmpty());
        QCOMPARE(settings.readServer().port, AppSettings::kDefaultPort);
    }

    // A folder where nothing can be stored: one reason for all the keys, so the dialog's
    // warning says it once.
    void failuresAreReportedOnce()
    {
        const AppSettings settings(AppPaths::inFolder(QStringLiteral("/proc/no-such-folder")));
        const QStringList errors = settings.writeIdentity(
            {QStringLiteral("李明"), QStringLiteral("31"), QStringLiteral("三班")});
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(QStringLiteral("/proc/no-such-folder")));
    }
};

CLIENT_TEST(AppSettingsTest)
#include "tst_appsettings.moc"
