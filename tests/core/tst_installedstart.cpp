// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/Gbk.h"
#include "core/IniStore.h"
#include "hints/CodeTables.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

void writeGbk(const QString &path, const QString &text)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(gbk::encode(text).bytes);
}

// A client installed under env.dir: bin/ for the program, share/chengling/ for the data,
// config/chengling/ for the user's settings and etc/appset.ini for the room's preset.
struct Installed
{
    Installed()
    {
        QVERIFY(QDir().mkpath(data()));
        QVERIFY(QDir().mkpath(bin()));
        env.services.paths =
            AppPaths::locate(bin(), false, env.dir.filePath("config/chengling"), preset());
    }
    QString bin() const { return env.dir.filePath(QStringLiteral("bin")); }
    QString data() const { return env.dir.filePath(QStringLiteral("share/chengling")); }
    QString preset() const { return env.dir.filePath(QStringLiteral("etc/appset.ini")); }
    QString user() const { return env.dir.filePath(QStringLiteral("config/chengling/appset.ini")); }
    Client &c() { return env.client(); }

    LogicEnv env;
};

} // namespace

class InstalledStartTest : public QObject
{
    Q_OBJECT
private slots:
    void presetReachesANewUser()
    {
        Installed in;
        writeGbk(in.preset(), QStringLiteral("[serverset]\r\nip=10.8.0.1\r\nport=12000\r\n"));
        writeGbk(in.data() + QStringLiteral("/wb.dat"), QStringLiteral("澄,iwgu,,cheng\r\n"));
        in.env.createLogic();
        QCOMPARE(in.c().state.strServerIp, QStringLiteral("10.8.0.1"));
        QCOMPARE(in.c().state.NumServerPort, 12000);
        QCOMPARE(in.env.dialogs.count(), 0);
        QCOMPARE(ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), in.user()),
                 QStringLiteral("10.8.0.1"));
        QVERIFY(!QFileInfo::exists(in.bin() + QStringLiteral("/appset.ini")));
        // The code tables come from the installed data folder.
        QCOMPARE(in.c().tables->FindWord(QStringLiteral("澄")),
                 QStringLiteral("五笔编码：IWGU     拼音编码：cheng"));
    }

    void theUsersOwnFileWinsOverThePreset()
    {
        Installed in;
        writeGbk(in.preset(), QStringLiteral("[serverset]\r\nip=10.8.0.1\r\n"));
        writeGbk(in.user(),
                 QStringLiteral("[serverset]\r\nip=10.8.0.9\r\n[userinfo]\r\nname=李明\r\n"));
        in.env.createLogic();
        QCOMPARE(in.c().state.strServerIp, QStringLiteral("10.8.0.9"));
        QCOMPARE(in.c().state.strUserName, QStringLiteral("李明"));
        QCOMPARE(in.env.dialogs.count(), 0);
    }

    void failedCopyIsReportedAndThePresetStillServes()
    {
        Installed in;
        writeGbk(in.preset(), QStringLiteral("[serverset]\r\nip=10.8.0.1\r\n"));
        writeGbk(in.env.dir.filePath(QStringLiteral("config")), QStringLiteral("a file"));
        in.env.createLogic();
        QCOMPARE(in.env.dialogs.count(), 1);
        const FakeDialogs::Shown box = in.env.dialogs.lastBox();
        QCOMPARE(box.title, QStringLiteral("注意"));
        QCOMPARE(box.icon, int(Dialogs::Warning));
        QVERIFY2(box.text.contains(in.user()), qPrintable(box.text));
        // Start-up went on with the preset's server address.
        QCOMPARE(in.c().state.strServerIp, QStringLiteral("10.8.0.1"));
        QCOMPARE(in.c().ui.sb->panelText(2), QStringLiteral("姓名："));
    }
};

CLIENT_TEST(InstalledStartTest)
#include "tst_installedstart.moc"
