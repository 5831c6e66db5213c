#include "TestEnv.h"
#include "TestRegistry.h"
#include "core/Client.h"
#include "core/Gbk.h"
#include "core/IniStore.h"
#include "hints/CodeTables.h"
#include "ui/Form1.h"
#include "ui/Form3.h"
#include "ui/StatusBar.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
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

    TestEnv env;
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
        in.env.createForm();
        QCOMPARE(in.c().state.strServerIp, QStringLiteral("10.8.0.1"));
        QCOMPARE(in.c().state.NumServerPort, 12000);
        QCOMPARE(in.env.dialogs.count(), 0);
        QVERIFY(QFileInfo::exists(in.user()));
        // The code tables come from the installed data folder.
        QCOMPARE(in.c().tables->FindWord(QStringLiteral("澄")),
                 QStringLiteral("五笔编码：IWGU     拼音编码：cheng"));

        // The server dialog saves into the user's file; the preset stays as it was.
        in.env.dialogs.answer = [](QDialog &dialog) -> int {
            if (auto *form = qobject_cast<Form3 *>(&dialog)) {
                form->Text1->setText(QStringLiteral("10.8.0.2"));
                form->Command1->click();
                return form->result();
            }
            return QMessageBox::Ok;
        };
        in.c().ui.cmdserverset->click();
        QCOMPARE(ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), in.user()),
                 QStringLiteral("10.8.0.2"));
        QCOMPARE(ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), in.preset()),
                 QStringLiteral("10.8.0.1"));
        QVERIFY(!QFileInfo::exists(in.bin() + QStringLiteral("/appset.ini")));
    }

    void firstSaveWithoutAPresetLandsInTheUsersFolder()
    {
        Installed in;
        in.env.createForm();
        QCOMPARE(in.env.dialogs.count(), 0);
        in.env.dialogs.answer = [](QDialog &dialog) -> int {
            if (auto *form = qobject_cast<Form3 *>(&dialog)) {
                form->Text1->setText(QStringLiteral("10.8.0.3"));
                form->Text2->setText(QStringLiteral("10000"));
                form->Command1->click();
                return form->result();
            }
            return QMessageBox::Ok;
        };
        in.c().ui.cmdserverset->click();
        QCOMPARE(in.env.dialogs.lastBox().icon, int(QMessageBox::Information));
        QCOMPARE(ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), in.user()),
                 QStringLiteral("10.8.0.3"));
    }

    void failedCopyIsReportedAndThePresetStillServes()
    {
        Installed in;
        writeGbk(in.preset(), QStringLiteral("[serverset]\r\nip=10.8.0.1\r\n"));
        writeGbk(in.env.dir.filePath(QStringLiteral("config")), QStringLiteral("a file"));
        in.env.createForm();
        QCOMPARE(in.env.dialogs.count(), 1);
        const FakeDialogs::Shown box = in.env.dialogs.lastBox();
        QCOMPARE(box.title, QStringLiteral("注意"));
        QCOMPARE(box.icon, int(QMessageBox::Warning));
        QVERIFY2(box.text.contains(in.user()), qPrintable(box.text));
        // Start-up went on: the server address of the preset and the caption are there.
        QCOMPARE(in.c().state.strServerIp, QStringLiteral("10.8.0.1"));
        QCOMPARE(in.env.form->windowTitle(), Client::productCaption());
    }
};

CLIENT_TEST(InstalledStartTest)
#include "tst_installedstart.moc"
