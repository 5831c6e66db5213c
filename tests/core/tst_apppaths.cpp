// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/AppPaths.h"
#include "core/CommandLine.h"
#include "core/Gbk.h"
#include "core/IniStore.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kPreset =
    gbk::encode(QStringLiteral("[serverset]\r\nip=192.168.10.2\r\nport=10001\r\n"
                               "[userinfo]\r\nbanji=初二（3）班\r\n"))
        .bytes;

// A machine in a temporary folder: <root>/usr/bin for the program, <root>/usr/share/chengling
// for installed data, <root>/home/.config/chengling for the user and <root>/etc for the preset.
struct Machine
{
    QTemporaryDir root;
    QString programDir() const { return root.filePath(QStringLiteral("usr/bin")); }
    QString dataDir() const { return root.filePath(QStringLiteral("usr/share/chengling")); }
    QString userDir() const { return root.filePath(QStringLiteral("home/.config/chengling")); }
    QString preset() const { return root.filePath(QStringLiteral("etc/chengling/appset.ini")); }
    QString userSettings() const { return userDir() + QStringLiteral("/appset.ini"); }

    void install() const { QVERIFY(QDir().mkpath(dataDir())); }
    AppPaths installed() const
    {
        return AppPaths::locate(programDir(), false, userDir(), preset());
    }
};

} // namespace

class AppPathsTest : public QObject
{
    Q_OBJECT
private slots:
    void settingsPlace_data()
    {
        QTest::addColumn<bool>("installedLayout");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("inUserFolder");
        QTest::newRow("copied folder the user may write") << false << true << false;
        QTest::newRow("copied folder on a read-only medium") << false << false << true;
        QTest::newRow("installed, run by a student") << true << false << true;
        QTest::newRow("installed, run by root") << true << true << true;
    }
    void settingsPlace()
    {
        QFETCH(bool, installedLayout);
        QFETCH(bool, writable);
        QFETCH(bool, inUserFolder);
        Machine m;
        QVERIFY(QDir().mkpath(m.programDir()));
        if (installedLayout)
            m.install();
        QCOMPARE(AppPaths::isInstalledLayout(m.programDir()), installedLayout);

        const AppPaths paths = AppPaths::locate(m.programDir(), writable, m.userDir(), m.preset());
        if (inUserFolder) {
            QCOMPARE(paths.place(), AppPaths::Place::UserFolder);
            QCOMPARE(paths.settingsFile(), m.userSettings());
            QCOMPARE(paths.presetFile(), m.preset());
        } else {
            QCOMPARE(paths.place(), AppPaths::Place::ProgramFolder);
            QCOMPARE(paths.settingsFile(), m.programDir() + QStringLiteral("/appset.ini"));
            QVERIFY(paths.presetFile().isEmpty());
        }
    }

    void locateTakesTheUsersXdgConfigFolder()
    {
        Machine m;
        m.install();
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        const QString config = m.root.filePath(QStringLiteral("xdg"));
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        const AppPaths paths = AppPaths::locate(m.programDir());
        if (saved.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", saved);
        QCOMPARE(paths.place(), AppPaths::Place::UserFolder);
        QCOMPARE(paths.settingsFile(), config + QStringLiteral("/chengling/appset.ini"));
        QCOMPARE(paths.presetFile(), QStringLiteral("/etc/chengling/appset.ini"));
    }

    void dataFile_data()
    {
        QTest::addColumn<bool>("installedLayout");
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("inDataFolder");
        QTest::addColumn<QString>("expectedFolder");
        QTest::newRow("installed, in the data folder") << true << false << true << "data";
        QTest::newRow("installed, a copy beside the program wins")
            << true << true << true << "program";
        QTest::newRow("installed, missing: named in the data folder")
            << true << false << false << "data";
        QTest::newRow("copied folder") << false << true << false << "program";
        QTest::newRow("copied folder, missing: named beside the program")
            << false << false << false << "program";
    }
    void dataFile()
    {
        QFETCH(bool, installedLayout);
        QFETCH(bool, besideProgram);
        QFETCH(bool, inDataFolder);
        QFETCH(QString, expectedFolder);
        Machine m;
        QVERIFY(QDir().mkpath(m.programDir()));
        if (installedLayout)
            m.install();
        if (besideProgram)
            writeFile(m.programDir() + QStringLiteral("/wb.dat"), "a,a,,a\r\n");
        if (inDataFolder)
            writeFile(m.dataDir() + QStringLiteral("/wb.dat"), "b,b,,b\r\n");
        const QString folder = expectedFolder == u"data" ? m.dataDir() : m.programDir();
        for (const AppPaths &paths : {m.installed(), AppPaths::inFolder(m.programDir())})
            QCOMPARE(paths.dataFile(QStringLiteral("wb.dat")), folder + QStringLiteral("/wb.dat"));
    }

    void firstStartCopiesThePreset()
    {
        Machine m;
        m.install();
        writeFile(m.preset(), kPreset);
        const AppPaths paths = m.installed();
        QVERIFY(!QFileInfo::exists(m.userDir()));

        const Status status = paths.prepareSettings();
        QVERIFY2(status.ok(), qPrintable(status.error));
        QCOMPARE(readFile(m.userSettings()), kPreset);
        QCOMPARE(paths.settingsFileToRead(), m.userSettings());
        QCOMPARE(ReadIni(QStringLiteral("userinfo"), QStringLiteral("banji"), m.userSettings()),
                 QStringLiteral("初二（3）班"));

        // The copy is the user's own: writing it leaves the preset as the technician wrote it.
        QVERIFY(WriteIni(QStringLiteral("serverset"), QStringLiteral("ip"),
                         QStringLiteral("10.0.0.9"), paths.settingsFile())
                    .ok());
        QCOMPARE(readFile(m.preset()), kPreset);
    }

    void laterStartsKeepTheUsersSettings()
    {
        Machine m;
        m.install();
        writeFile(m.preset(), kPreset);
        const QByteArray own = "[serverset]\r\nip=10.0.0.9\r\n";
        writeFile(m.userSettings(), own);
        QVERIFY(m.installed().prepareSettings().ok());
        QCOMPARE(readFile(m.userSettings()), own);
        QCOMPARE(m.installed().settingsFileToRead(), m.userSettings());
    }

    // Without a preset the user gets no file until a settings dialog saves one, and that save
    // needs the folder.
    void noPresetMakesOnlyTheFolder()
    {
        Machine m;
        m.install();
        const AppPaths paths = m.installed();
        QVERIFY(paths.prepareSettings().ok());
        QVERIFY(!QFileInfo::exists(m.userSettings()));
        QVERIFY(QFileInfo(m.userDir()).isDir());
        QCOMPARE(paths.settingsFileToRead(), m.userSettings());
        const Status saved = WriteIni(QStringLiteral("userinfo"), QStringLiteral("name"),
                                      QStringLiteral("李明"), paths.settingsFile());
        QVERIFY2(saved.ok(), qPrintable(saved.error));
    }

    void programFolderIgnoresThePreset()
    {
        Machine m;
        QVERIFY(QDir().mkpath(m.programDir()));
        writeFile(m.preset(), kPreset);
        const AppPaths paths = AppPaths::locate(m.programDir(), true, m.userDir(), m.preset());
        QVERIFY(paths.prepareSettings().ok());
        QVERIFY(!QFileInfo::exists(paths.settingsFile()));
        QVERIFY(!QFileInfo::exists(m.userSettings()));
        QCOMPARE(paths.settingsFileToRead(), paths.settingsFile());
    }

    // A file where the user's config folder should be stops the copy even for root.
    void failedCopyNamesTheFileAndReadsThePreset()
    {
        Machine m;
        m.install();
        writeFile(m.preset(), kPreset);
        const QString blocker = m.root.filePath(QStringLiteral("home/.config"));
        writeFile(blocker, "not a folder");
        const AppPaths paths = m.installed();

        const Status status = paths.prepareSettings();
        QVERIFY(!status.ok());
        QVERIFY2(status.error.contains(m.userSettings()), qPrintable(status.error));
        QVERIFY2(status.error.contains(m.preset()), qPrintable(status.error));
        QCOMPARE(paths.settingsFileToRead(), m.preset());
        QCOMPARE(
            ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), paths.settingsFileToRead()),
            QStringLiteral("192.168.10.2"));

        // Nothing half-made stands in the way of the next start.
        QVERIFY(QFile::remove(blocker));
        QVERIFY(paths.prepareSettings().ok());
        QCOMPARE(readFile(m.userSettings()), kPreset);
    }

    void unreadableFileIsNamed_data()
    {
        QTest::addColumn<bool>("userFileIsFolder");
        QTest::addColumn<QString>("what");
        QTest::newRow("settings file") << true << QStringLiteral("设置文件");
        QTest::newRow("preset") << false << QStringLiteral("预设文件");
    }
    void unreadableFileIsNamed()
    {
        QFETCH(bool, userFileIsFolder);
        QFETCH(QString, what);
        Machine m;
        m.install();
        // A folder in the file's place cannot be read as a file, whoever runs the test.
        const QString broken = userFileIsFolder ? m.userSettings() : m.preset();
        QVERIFY(QDir().mkpath(broken));
        const Status status = m.installed().prepareSettings();
        QVERIFY(!status.ok());
        QVERIFY2(status.error.startsWith(QStringLiteral("无法读取") + what),
                 qPrintable(status.error));
        QVERIFY2(status.error.contains(broken), qPrintable(status.error));
        if (!userFileIsFolder) {
            QVERIFY(!QFileInfo::exists(m.userSettings()));
            QCOMPARE(m.installed().settingsFileToRead(), m.userSettings());
        }
    }

    void commandLineRequest_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("expected");
        const int run = int(commandline::Request::Run);
        const int help = int(commandline::Request::Help);
        const int version = int(commandline::Request::Version);
        QTest::newRow("nothing") << QStringList{} << run;
        QTest::newRow("help") << QStringList{"--help"} << help;
        QTest::newRow("short help") << QStringList{"-h"} << help;
        QTest::newRow("version") << QStringList{"--version"} << version;
        QTest::newRow("short version") << QStringList{"-v"} << version;
        QTest::newRow("first one wins") << QStringList{"--version", "--help"} << version;
        QTest::newRow("after Qt's options") << QStringList{"-platform", "xcb", "-h"} << help;
        QTest::newRow("Qt's options only") << QStringList{"-platform", "offscreen"} << run;
        QTest::newRow("after --") << QStringList{"--", "--help"} << run;
        QTest::newRow("a look-alike") << QStringList{"--helpme"} << run;
    }
    void commandLineRequest()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, expected);
        arguments.prepend(QStringLiteral("chengling-client"));
        QCOMPARE(int(commandline::request(arguments)), expected);
    }

    // A program folder the user may not write, with an appset.ini of its own (a room's
    // read-only share): that file is read at every start, after the user's own one, and the
    // machine-wide preset gives way to it; saving goes to the user's file.
    void readOnlyProgramFolderKeepsItsOwnSettings()
    {
        Machine m;
        writeFile(m.programDir() + QStringLiteral("/appset.ini"), kPreset);
        writeFile(m.preset(), "[serverset]\r\nip=10.9.9.9\r\n");
        const AppPaths paths = AppPaths::locate(m.programDir(), false, m.userDir(), m.preset());
        QCOMPARE(paths.place(), AppPaths::Place::UserFolder);
        QCOMPARE(paths.besideFile(), m.programDir() + QStringLiteral("/appset.ini"));
        QVERIFY(paths.prepareSettings().ok());
        QVERIFY(!QFileInfo::exists(m.userSettings())); // nothing copied
        QVERIFY(QFileInfo(m.userDir()).isDir());       // but the dialogs can save
        QCOMPARE(paths.settingsFilesToRead(), (QStringList{m.userSettings(), paths.besideFile()}));
        QVERIFY(commandline::helpText(paths).contains(paths.besideFile()));

        // An installed client has no such file, whatever its folder holds.
        m.install();
        const AppPaths installed = m.installed();
        QVERIFY(installed.besideFile().isEmpty());
        QCOMPARE(installed.settingsFilesToRead(), QStringList{m.preset()});
    }

    void helpNamesTheFilesInUse()
    {
        Machine m;
        m.install();
        writeFile(m.dataDir() + QStringLiteral("/wb.dat"), "a,a,,a\r\n");
        const QString installed = commandline::helpText(m.installed());
        QVERIFY(installed.contains(m.userSettings()));
        QVERIFY(installed.contains(m.preset()));
        QVERIFY(installed.contains(m.dataDir() + QStringLiteral("/wb.dat")));

        const QString copied = commandline::helpText(AppPaths::inFolder(m.programDir()));
        QVERIFY(copied.contains(m.programDir() + QStringLiteral("/appset.ini")));
        QVERIFY(!copied.contains(QStringLiteral("preset")));
        QCOMPARE(commandline::versionText(), QStringLiteral("chengling-client 1.8.0\n"));
    }
};

CLIENT_TEST(AppPathsTest)
#include "tst_apppaths.moc"
