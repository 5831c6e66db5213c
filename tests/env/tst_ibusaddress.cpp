// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/IBusAddress.h"
#include "tests/support/TestRegistry.h"

#include <QTemporaryDir>
#include <QTest>

class IBusAddressTest : public QObject
{
    Q_OBJECT

    static QProcessEnvironment environment(const QStringList &assignments)
    {
        QProcessEnvironment env;
        for (const QString &assignment : assignments) {
            const qsizetype equals = assignment.indexOf(u'=');
            env.insert(assignment.left(equals), assignment.mid(equals + 1));
        }
        return env;
    }

private slots:
    void filePath_data()
    {
        QTest::addColumn<QStringList>("assignments");
        QTest::addColumn<QString>("expected");
        const QStringList home = {QStringLiteral("HOME=/home/li")};
        QTest::newRow("local display")
            << home + QStringList{"DISPLAY=:0"} << "/home/li/.config/ibus/bus/m1-unix-0";
        QTest::newRow("screen number dropped")
            << home + QStringList{"DISPLAY=:1.0"} << "/home/li/.config/ibus/bus/m1-unix-1";
        QTest::newRow("remote host")
            << home + QStringList{"DISPLAY=pc07:12.1"} << "/home/li/.config/ibus/bus/m1-pc07-12";
        QTest::newRow("config folder")
            << QStringList{"HOME=/home/li", "DISPLAY=:0", "XDG_CONFIG_HOME=/tmp/cfg"}
            << "/tmp/cfg/ibus/bus/m1-unix-0";
        QTest::newRow("wayland first")
            << home + QStringList{"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0"}
            << "/home/li/.config/ibus/bus/m1-unix-wayland-0";
        QTest::newRow("no display") << home << QString();
        QTest::newRow("display without number") << home + QStringList{"DISPLAY=pc07:"} << QString();
        QTest::newRow("no home") << QStringList{"DISPLAY=:0"} << QString();
    }
    void filePath()
    {
        QFETCH(QStringList, assignments);
        QFETCH(QString, expected);
        QCOMPARE(IBusAddress::filePath(environment(assignments), QStringLiteral("m1")), expected);
    }

    void parseFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // empty: none
        QTest::newRow("daemon's file")
            << QByteArray("# This file is created by ibus-daemon, please do not modify it.\n"
                          "IBUS_ADDRESS=unix:abstract=/tmp/ibus/dbus-x,guid=ab\n"
                          "IBUS_DAEMON_PID=4242\n")
            << "unix:abstract=/tmp/ibus/dbus-x,guid=ab";
        QTest::newRow("windows line ends")
            << QByteArray("IBUS_ADDRESS=unix:path=/a\r\n") << "unix:path=/a";
        QTest::newRow("commented out") << QByteArray("# IBUS_ADDRESS=unix:path=/a\n") << QString();
        QTest::newRow("empty address")
            << QByteArray("IBUS_ADDRESS=\nIBUS_DAEMON_PID=1\n") << QString();
        QTest::newRow("empty file") << QByteArray() << QString();
        QTest::newRow("binary junk") << QByteArray("\x00\xff\xfe", 3) << QString();
    }
    void parseFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QCOMPARE(IBusAddress::parseFile(content).value_or(QString()), expected);
    }

    void findPrefersTheEnvironmentThenTheFile()
    {
        QTemporaryDir config;
        QVERIFY(QDir(config.path()).mkpath(QStringLiteral("ibus/bus")));
        QFile file(config.filePath(QStringLiteral("ibus/bus/m1-unix-3")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("IBUS_ADDRESS=unix:path=/from/file\n");
        file.close();

        QProcessEnvironment env = environment({"DISPLAY=:3", "XDG_CONFIG_HOME=" + config.path()});
        QCOMPARE(IBusAddress::find(env, QStringLiteral("m1")),
                 QStringLiteral("unix:path=/from/file"));
        // Another machine's or display's file is not ours.
        QCOMPARE(IBusAddress::find(env, QStringLiteral("m2")), std::nullopt);
        env.insert(QStringLiteral("IBUS_ADDRESS"), QStringLiteral("unix:path=/from/env"));
        QCOMPARE(IBusAddress::find(env, QStringLiteral("m2")),
                 QStringLiteral("unix:path=/from/env"));
    }
};

CLIENT_TEST(IBusAddressTest)
#include "tst_ibusaddress.moc"
