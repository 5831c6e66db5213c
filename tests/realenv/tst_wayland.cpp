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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace realsession;

namespace {

// A GTK window with a title, on Wayland itself or on Xwayland.
const char kWindowScript[] = R"(
import sys, gi
gi.require_version('Gtk', '3.0')
from gi.repository import Gtk
window = Gtk.Window(title=sys.argv[1])
window.connect('destroy', Gtk.main_quit)
window.show_all()
Gtk.main()
)";

QString swayTree()
{
    QProcess sway;
    sway.start(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    sway.waitForFinished(5000);
    return QString::fromUtf8(sway.readAllStandardOutput());
}

} // namespace

// A Wayland session (headless sway with Xwayland, run as an ordinary user) with a native
// Wayland window, an X11 window, and two programs without any window that the desktop knows
// by their desktop entries; the real client, natively on Wayland or on Xwayland (as the test's
// QT_QPA_PLATFORM says), warns about each of them.
class WaylandRealTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    std::vector<std::unique_ptr<QProcess>> m_programs;

    QProcess &run(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program, arguments);
        m_programs.push_back(std::move(process));
        return *m_programs.back();
    }

    void window(const QString &title, const QString &backend)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GDK_BACKEND"), backend);
        QVERIFY(run(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-c"), QString::fromLatin1(kWindowScript), title}, environment)
                    .waitForStarted());
    }

    // A copy of sleep under a name of its own, with a desktop entry of that name.
    QString entry(const QString &file, const QByteArray &content)
    {
        const QString applications =
            qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications");
        QDir().mkpath(applications);
        QFile desktop(applications + u'/' + file);
        if (!desktop.open(QIODevice::WriteOnly))
            return {};
        desktop.write(content);
        return desktop.fileName();
    }

private slots:
    void initTestCase()
    {
        SKIP_UNLESS(missing("CLIENT_REAL_SWAY", "a Wayland session (sway)"));
        window(QStringLiteral("无标题 - 记事本"), QStringLiteral("wayland"));
        window(QStringLiteral("计算器"), QStringLiteral("x11"));

        // No window: found through an Exec that runs its executable...
        const QString tool = m_folder.filePath(QStringLiteral("yinshen-tool"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), tool));
        QVERIFY(!entry(QStringLiteral("yinshen.desktop"),
                       "[Desktop Entry]\nType=Application\nName=Hidden Tool\n"
                       "Name[zh_CN]=隐身工具\nExec=" +
                           tool.toUtf8() + " %U\n")
                     .isEmpty());
        QVERIFY(run(tool, {QStringLiteral("60")}, QProcessEnvironment::systemEnvironment())
                    .waitForStarted());
        // ... and through the launcher's variable.
        const QString chat = entry(QStringLiteral("liaotian.desktop"),
                                   "[Desktop Entry]\nType=Application\nName=Chat\n"
                                   "GenericName[zh_CN]=聊天程序\nExec=chat-client\n");
        QProcessEnvironment launched = QProcessEnvironment::systemEnvironment();
        launched.insert(QStringLiteral("GIO_LAUNCHED_DESKTOP_FILE"), chat);
        QVERIFY(
            run(QStringLiteral("/bin/sleep"), {QStringLiteral("60")}, launched).waitForStarted());

        QTRY_VERIFY_WITH_TIMEOUT(swayTree().contains(QStringLiteral("无标题 - 记事本")) &&
                                     swayTree().contains(QStringLiteral("计算器")),
                                 20000);
    }

    void cleanupTestCase()
    {
        for (const auto &process : m_programs) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    void theCompositorListsEveryWindow()
    {
        const WaylandToplevels::Result listed =
            WaylandToplevels::collect(qgetenv("WAYLAND_DISPLAY"), 2000);
        QVERIFY2(listed.error.isEmpty(), qPrintable(listed.error));
        QCOMPARE(listed.protocol, QStringLiteral("wlr-foreign-toplevel"));
        // The native window and the Xwayland one alike.
        QVERIFY2(listed.windows.titles.contains(QStringLiteral("无标题 - 记事本")) &&
                     listed.windows.titles.contains(QStringLiteral("计算器")),
                 qPrintable(listed.windows.titles.join(u'|')));
    }

    void theClientWarnsAboutEveryForbiddenProgram()
    {
        SessionWindowTitles titles;
        RealClient client;
        QVERIFY(client.start({QStringLiteral("ime 不限制"),
                              QStringLiteral("forbid 记事本|计算器|隐身工具|聊天程序|sleep|测试|"
                                             "不存在的程序"),
                              QStringLiteral("text 春天来了")},
                             &titles));
        QTRY_VERIFY_WITH_TIMEOUT(client.env.dialogs.count() >= client.startupBoxes + 6, 10000);
        QTest::qWait(200);
        QStringList warned;
        for (qsizetype i = client.startupBoxes; i < client.env.dialogs.shown.size(); ++i)
            warned << client.env.dialogs.shown.at(i).text;
        QStringList expected;
        for (const char *name : {"记事本", "计算器", "隐身工具", "聊天程序", "sleep", "测试"})
            expected << QStringLiteral("【%1】不允许在检测期间运行，请先关闭再继续！")
                            .arg(QString::fromUtf8(name));
        QCOMPARE(warned, expected);

        // Where each was found: the X11 window on Xwayland, both windows in the compositor's
        // list, the client's own window always, the two programs without a window.
        const SessionWindowTitles::Sources &found = titles.lastSources();
        QVERIFY(found.x11 >= 1);
        QVERIFY(found.wayland >= 3);
        QCOMPARE(found.waylandProtocol, QStringLiteral("wlr-foreign-toplevel"));
        QVERIFY(found.own >= 1);
        QVERIFY(found.programs >= 3);
        // The client's own window in the compositor's list, natively or through Xwayland.
        const QStringList listed =
            WaylandToplevels::collect(qgetenv("WAYLAND_DISPLAY"), 2000).windows.titles;
        QVERIFY2(listed.contains(client.form->windowTitle()), qPrintable(listed.join(u'|')));

        // For a person to look at: the client's window, and the whole desktop where grim is.
        if (const QString shots = qEnvironmentVariable("CLIENT_SCREENSHOTS"); !shots.isEmpty()) {
            const QString name =
                shots + QStringLiteral("/wayland-") + QGuiApplication::platformName();
            client.form->grab().save(name + QStringLiteral("-client.png"));
            QProcess::execute(QStringLiteral("grim"), {name + QStringLiteral("-desktop.png")});
        }
    }
};

CLIENT_TEST(WaylandRealTest)
#include "tst_wayland.moc"
