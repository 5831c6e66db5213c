// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/SessionWindowTitles.h"
#include "env/WaylandToplevels.h"
#include "tests/realenv/RealClient.h"
#include "tests/realenv/RealSession.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace realsession;

// KDE Plasma's compositor (KWin, virtual output) with a native Wayland window: its window
// management protocol lists the window, and the real client, natively on Wayland, warns
// about it and finds itself in the list.
class KWinRealTest : public QObject
{
    Q_OBJECT

    QProcess m_window;

private slots:
    void initTestCase()
    {
        SKIP_UNLESS(missing("CLIENT_REAL_KWIN", "KWin"));
        // KWin lists windows only to programs whose desktop entry asks for the protocol, as
        // the installed client's does; this test program gets an entry of its own.
        const QString applications =
            qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
        QDir().mkpath(applications);
        QFile entry(applications + QStringLiteral("/chengling-realenv.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=realenv\nExec=" +
                    QCoreApplication::applicationFilePath().toUtf8() +
                    "\nX-KDE-Wayland-Interfaces=org_kde_plasma_window_management\n");
        entry.close();
        QCOMPARE(
            QProcess::execute(QStringLiteral("kbuildsycoca5"), {QStringLiteral("--noincremental")}),
            0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
        m_window.setProcessEnvironment(environment);
        m_window.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"), QStringLiteral("import gi\ngi.require_version('Gtk', '3.0')\n"
                                                  "from gi.repository import Gtk\n"
                                                  "w = Gtk.Window(title='无标题 - 记事本')\n"
                                                  "w.show_all()\nGtk.main()\n")});
        QVERIFY(m_window.waitForStarted());
    }
    void cleanupTestCase()
    {
        m_window.kill();
        m_window.waitForFinished(5000);
    }

    void theWindowManagementProtocolListsTheWindow()
    {
        WaylandToplevels::Result listed;
        QTRY_VERIFY_WITH_TIMEOUT(
            (listed = WaylandToplevels::collect(qgetenv("WAYLAND_DISPLAY"), 2000),
             listed.windows.titles.contains(QStringLiteral("无标题 - 记事本"))),
            10000);
        QVERIFY2(listed.error.isEmpty(), qPrintable(listed.error));
        QCOMPARE(listed.protocol, QStringLiteral("plasma-window-management"));
        // KWin tells the process of each window.
        QVERIFY(listed.windows.pids.contains(m_window.processId()));
    }

    void theClientWarnsAboutIt()
    {
        if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            QSKIP("needs QT_QPA_PLATFORM=wayland");
        SessionWindowTitles titles;
        RealClient client;
        QVERIFY(client.start(
            {QStringLiteral("forbid 记事本|测试|不存在的程序"), QStringLiteral("text 春天来了")},
            &titles));
        QTRY_VERIFY_WITH_TIMEOUT(client.env.dialogs.count() >= client.startupBoxes + 2, 10000);
        QTest::qWait(200);
        QStringList warned;
        for (qsizetype i = client.startupBoxes; i < client.env.dialogs.shown.size(); ++i)
            warned << client.env.dialogs.shown.at(i).text;
        QCOMPARE(warned,
                 (QStringList{QStringLiteral("【记事本】不允许在检测期间运行，请先关闭再继续！"),
                              QStringLiteral("【测试】不允许在检测期间运行，请先关闭再继续！")}));
        QCOMPARE(titles.lastSources().waylandProtocol, QStringLiteral("plasma-window-management"));
        const QStringList listed =
            WaylandToplevels::collect(qgetenv("WAYLAND_DISPLAY"), 2000).windows.titles;
        // KWin gives captions with runs of blanks made one.
        QVERIFY2(listed.contains(client.form->windowTitle().simplified()),
                 qPrintable(listed.join(u'|')));
        client.screenshot(QStringLiteral("kwin-client"));
    }
};

CLIENT_TEST(KWinRealTest)
#include "tst_kwin.moc"
