// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/Gbk.h"
#include "core/IniStore.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "ui/Form1.h"
#include "ui/Form3.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// The settings dialogs of an installed client save into the user's settings file.
class InstalledSettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void serverDialogSavesIntoTheUsersFile_data()
    {
        QTest::addColumn<bool>("withPreset");
        QTest::newRow("first save without a preset") << false;
        QTest::newRow("after the preset was copied") << true;
    }
    void serverDialogSavesIntoTheUsersFile()
    {
        QFETCH(bool, withPreset);
        TestEnv env;
        const QString bin = env.dir.filePath(QStringLiteral("bin"));
        const QString preset = env.dir.filePath(QStringLiteral("etc/appset.ini"));
        const QString user = env.dir.filePath(QStringLiteral("config/chengling/appset.ini"));
        QVERIFY(QDir().mkpath(env.dir.filePath(QStringLiteral("share/chengling"))));
        QVERIFY(QDir().mkpath(bin));
        if (withPreset) {
            QVERIFY(QDir().mkpath(QFileInfo(preset).absolutePath()));
            QFile file(preset);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(gbk::encode(QStringLiteral("[serverset]\r\nip=10.8.0.1\r\n")).bytes);
        }
        env.services.paths = AppPaths::locate(bin, false, QFileInfo(user).absolutePath(), preset);
        env.createForm();

        env.windows.answer = [](QDialog &dialog) -> int {
            if (auto *form = qobject_cast<Form3 *>(&dialog)) {
                form->Text1->setText(QStringLiteral("10.8.0.2"));
                form->Text2->setText(QStringLiteral("10000"));
                form->Command1->click();
                return form->result();
            }
            return QMessageBox::Ok;
        };
        env.client().ui.cmdserverset->click();
        QCOMPARE(env.dialogs.lastBox().icon, int(Dialogs::Information));
        QCOMPARE(ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), user),
                 QStringLiteral("10.8.0.2"));
        QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/appset.ini")));
        if (withPreset) {
            QCOMPARE(ReadIni(QStringLiteral("serverset"), QStringLiteral("ip"), preset),
                     QStringLiteral("10.8.0.1"));
        }
    }
};

CLIENT_TEST(InstalledSettingsTest)
#include "tst_installedsettings.moc"
