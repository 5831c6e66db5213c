// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/DesktopEntries.h"
#include "env/SessionPrograms.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Texts separated by zero bytes, as /proc gives arguments and the environment.
QByteArray zeros(const QList<QByteArray> &parts)
{
    QByteArray joined;
    for (const QByteArray &part : parts)
        joined += part + '\0';
    return joined;
}

} // namespace

// The programs of the session from a process folder laid out like /proc (same user), with
// desktop entries of their own.
class SessionProgramsTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString proc() const { return m_root.filePath(QStringLiteral("proc")); }
    QString data() const { return m_root.filePath(QStringLiteral("data")); }

    void process(int pid, const QString &executable, const QByteArray &cmdline,
                 const QByteArray &environ = {}, const QByteArray &cgroup = {})
    {
        const QString folder = proc() + u'/' + QString::number(pid);
        QVERIFY(QDir().mkpath(folder));
        if (!executable.isEmpty()) {
            QVERIFY(write(m_root.filePath(QStringLiteral("bin/") + executable), "#!"));
            QVERIFY(QFile::link(m_root.filePath(QStringLiteral("bin/") + executable),
                                folder + QStringLiteral("/exe")));
        }
        QVERIFY(write(folder + QStringLiteral("/cmdline"), cmdline));
        QVERIFY(write(folder + QStringLiteral("/environ"), environ));
        QVERIFY(write(folder + QStringLiteral("/cgroup"), cgroup));
    }

    SessionPrograms programs(const QString &lang = QStringLiteral("en_US.UTF-8"))
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data());
        environment.insert(QStringLiteral("XDG_DATA_DIRS"),
                           m_root.filePath(QStringLiteral("none")));
        environment.insert(QStringLiteral("LANG"), lang);
        return SessionPrograms(environment, proc());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(write(data() + QStringLiteral("/applications/org.gnome.Calculator.desktop"),
                      "[Desktop Entry]\nName=Calculator\nName[zh_CN]=计算器\n"
                      "Name[de]=Rechner\nExec=gnome-calculator\n"));
        QVERIFY(write(data() + QStringLiteral("/applications/kde/kate.desktop"),
                      "[Desktop Entry]\nName=Kate\nGenericName=Text Editor\n"
                      "GenericName[zh_CN]=文本编辑器\nExec=env KDE=1 kate -b %U\n"));
        QVERIFY(write(m_root.filePath(QStringLiteral("elsewhere/qq.desktop")),
                      "[Desktop Entry]\nName=QQ\nGenericName[zh_CN.UTF-8]=聊天\n"
                      "Exec=\"/opt/QQ/qq\" %U\n"));
        QVERIFY(write(
            data() + QStringLiteral("/applications/game.desktop"),
            "[Desktop Entry]\nName=Mines\nName[zh_CN]=扫雷\nExec=python3 /usr/games/mines\n"));
        // Found through the application scope systemd put it in.
        process(100, QStringLiteral("gnome-calculator"), zeros({"gnome-calculator"}),
                zeros({"HOME=/home/x"}),
                "0::/user.slice/app.slice/app-gnome-org.gnome.Calculator-100.scope\n");
        // Through the launcher's variable, wherever the entry is.
        process(
            101, QStringLiteral("qq-real"), zeros({"/opt/QQ/qq"}),
            zeros({"A=1", "GIO_LAUNCHED_DESKTOP_FILE=" +
                              m_root.filePath(QStringLiteral("elsewhere/qq.desktop")).toUtf8()}));
        // Through an Exec that runs the same program (the entry is in a subfolder).
        process(102, QStringLiteral("kate"), zeros({"kate", "-b"}));
        // A script: its interpreter is the executable, its first argument the program.
        process(103, QStringLiteral("python3.11"), zeros({"python3", "/usr/games/mines"}));
        // Another script of the same interpreter is another program.
        process(106, QStringLiteral("python3.11"), zeros({"python3", "/usr/bin/other"}));
        // Nothing known about it but its executable.
        process(104, QStringLiteral("hidden-tool"), zeros({"hidden-tool", "--quiet"}));
        // A kernel thread has neither.
        process(105, QString(), "");
        // Not a process.
        QVERIFY(QDir().mkpath(proc() + QStringLiteral("/self-status")));
    }

    void namesInTheDesktopsLanguageAndInChinese_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("English desktop")
            << "en_US.UTF-8"
            << QStringList{"Calculator", "计算器", "gnome-calculator", "QQ",         "聊天",
                           "qq-real",    "Kate",   "Text Editor",      "文本编辑器", "kate",
                           "Mines",      "扫雷",   "python3.11",       "hidden-tool"};
        QTest::newRow("German desktop")
            << "de_DE.UTF-8"
            << QStringList{"Rechner", "计算器", "gnome-calculator", "QQ",         "聊天",
                           "qq-real", "Kate",   "Text Editor",      "文本编辑器", "kate",
                           "Mines",   "扫雷",   "python3.11",       "hidden-tool"};
        QTest::newRow("Chinese desktop")
            << "zh_CN.UTF-8"
            << QStringList{"计算器",     "gnome-calculator", "QQ",   "聊天", "qq-real",
                           "Kate",       "文本编辑器",       "kate", "扫雷", "python3.11",
                           "hidden-tool"};
    }
    void namesInTheDesktopsLanguageAndInChinese()
    {
        QFETCH(QString, lang);
        QFETCH(QStringList, names);
        SessionPrograms scan = programs(lang);
        const QStringList found = scan.names({});
        QVERIFY2(found == names, qPrintable(found.join(u'|')));
    }

    void programsWithAWindowAreLeftOut()
    {
        SessionPrograms scan = programs();
        WindowList windows;
        windows.pids = {101, 102};
        windows.appIds = {QStringLiteral("org.gnome.Calculator"), QStringLiteral("hidden-tool")};
        QCOMPARE(scan.names(windows), (QStringList{"Mines", "扫雷", "python3.11"}));
    }

    void anEntryAddedLaterIsFound()
    {
        SessionPrograms scan = programs();
        QVERIFY(scan.names({}).contains(QStringLiteral("hidden-tool")));
        QTest::qWait(10); // a folder's time has a resolution of its file system's
        QVERIFY(write(data() + QStringLiteral("/applications/hidden.desktop"),
                      "[Desktop Entry]\nName=Hidden\nName[zh_CN]=隐身工具\nExec=hidden-tool\n"));
        QVERIFY(scan.names({}).contains(QStringLiteral("隐身工具")));
        QFile::remove(data() + QStringLiteral("/applications/hidden.desktop"));
    }

    void unitNamesGiveTheDesktopId_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("id");
        QTest::newRow("scope") << "app-org.gnome.Calculator-1234.scope"
                               << "org.gnome.Calculator";
        QTest::newRow("scope of a launcher") << "app-gnome-org.gnome.Calculator-1234.scope"
                                             << "gnome-org.gnome.Calculator";
        QTest::newRow("service") << "app-firefox@8a3b.service"
                                 << "firefox";
        QTest::newRow("escaped dash") << "app-gnome-qq\\x2dmusic-99.scope"
                                      << "gnome-qq-music";
        QTest::newRow("not an application") << "session-2.scope"
                                            << "";
        QTest::newRow("no id") << "app-1234.scope"
                               << "";
        QTest::newRow("another kind") << "app-x.slice"
                                      << "";
    }
    void unitNamesGiveTheDesktopId()
    {
        QFETCH(QString, unit);
        QFETCH(QString, id);
        QCOMPARE(SessionPrograms::desktopIdOfUnit(unit), id);
    }

    void desktopEntriesAreParsed_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << QByteArray("[Desktop Entry]\nExec=/usr/bin/gedit %U\n") << true
                               << "gedit";
        QTest::newRow("quoted") << QByteArray("[Desktop Entry]\nExec=\"/opt/My App/run\" -x\n")
                                << true << "run";
        QTest::newRow("env first")
            << QByteArray("[Desktop Entry]\nExec=env A=1 B=2 /usr/bin/tool\n") << true << "tool";
        QTest::newRow("actions ignored")
            << QByteArray("[Desktop Entry]\nExec=a\n[Desktop Action new]\nExec=b\n") << true << "a";
        QTest::newRow("no main group") << QByteArray("[Other]\nExec=a\n") << false << "";
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x01\x02",
                                              6)
                                << false << "";
    }
    void desktopEntriesAreParsed()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, valid);
        QFETCH(QString, program);
        const std::optional<DesktopEntries::Entry> entry = DesktopEntries::parse(content);
        QCOMPARE(bool(entry), valid);
        if (entry)
            QCOMPARE(entry->program, program);
    }
};

CLIENT_TEST(SessionProgramsTest)
#include "tst_sessionprograms.moc"
