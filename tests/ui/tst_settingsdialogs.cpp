// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "core/Dialogs.h"
#include "core/IniStore.h"
#include "core/widgets/Geometry.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/StatusBar.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString kDone = QStringLiteral("设置完成！请重新点击“连接”按钮以连接到服务器。");
const QString kPortWarning = QStringLiteral("必须填入1024-65000之间的整数");

// A client whose settings dialogs are answered by `act`, run on the dialog when it opens;
// message boxes get OK.
struct Fixture
{
    Fixture()
    {
        env.createForm();
        env.client().ui.Timer4->stop();
    }
    Client &c() { return env.client(); }
    QString ini() const { return env.services.paths.settingsFile(); }
    QString read(const QString &section, const QString &key) const
    {
        return ReadIni(section, key, ini());
    }

    template <typename Form> void run(std::function<void(Form &)> act)
    {
        env.windows.answer = [this, act](QDialog &dialog) -> int {
            if (auto *form = qobject_cast<Form *>(&dialog)) {
                ++opened;
                act(*form);
                return form->result();
            }
            return QMessageBox::Ok;
        };
        if constexpr (std::is_same_v<Form, Form2>)
            c().ui.cmduserset->click();
        else
            c().ui.cmdserverset->click();
    }

    // The message boxes shown, in order.
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const FakeDialogs::Shown &shown : env.dialogs.shown) {
            if (shown.className == QLatin1String("QMessageBox"))
                texts << shown.text;
        }
        return texts;
    }

    TestEnv env;
    int opened = 0;
};

// Makes the folder of appset.ini impossible to write in, even for root: its parent is a file.
QString unwritableFolder(const QTemporaryDir &dir)
{
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    if (blocker.open(QIODevice::WriteOnly))
        blocker.write("not a folder");
    return dir.filePath(QStringLiteral("blocker/app"));
}

} // namespace

class SettingsDialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void personalDialogOpensWithTheState()
    {
        Fixture f;
        f.c().state.strXuehao = QStringLiteral("2026001");
        f.c().state.strUserName = QStringLiteral("李明");
        f.c().state.strBanji = QStringLiteral("三班");
        f.run<Form2>([](Form2 &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("个人信息"));
            QCOMPARE(form.size(), QSize(twipsToPixels(&form, 5640), twipsToPixels(&form, 2100)));
            QCOMPARE(form.Text2->geometry(),
                     QRect(twipsToPixels(&form, 840), twipsToPixels(&form, 600),
                           twipsToPixels(&form, 4695), twipsToPixels(&form, 330)));
            QCOMPARE(form.Text2->font().pointSizeF(), 10.5);
            QCOMPARE(form.Label1->text(), QStringLiteral("学号："));
            QCOMPARE(form.Label2->text(), QStringLiteral("姓名："));
            QCOMPARE(form.Label3->text(), QStringLiteral("班级："));
            QCOMPARE(form.Command1->text(), QStringLiteral("确定"));
            QCOMPARE(form.Command2->text(), QStringLiteral("取消"));
            QCOMPARE(form.Text1->text(), QStringLiteral("2026001"));
            QCOMPARE(form.Text2->text(), QStringLiteral("李明"));
            QCOMPARE(form.Text3->text(), QStringLiteral("三班"));
            QCOMPARE(form.Text1->maxLength(), 25);
            QCOMPARE(form.Text2->maxLength(), 10);
            QCOMPARE(form.Text3->maxLength(), 25);
            QCOMPARE(form.focusWidget(), form.Text1);
            // Tab order: the three fields, OK, cancel.
            QCOMPARE(form.Text1->nextInFocusChain(), form.Text2);
            QCOMPARE(form.Text2->nextInFocusChain(), form.Text3);
            QCOMPARE(form.Text3->nextInFocusChain(), form.Command1);
            QCOMPARE(form.Command1->nextInFocusChain(), form.Command2);
            QVERIFY(form.Command1->isDefault());
            form.Command2->click();
        });
        QCOMPARE(f.opened, 1);
    }

    void personalDialogStoresTrimmedValues()
    {
        Fixture f;
        f.run<Form2>([](Form2 &form) {
            form.Text1->setText(QStringLiteral("  2026031 "));
            form.Text2->setText(QStringLiteral(" 王小明"));
            form.Text3->setText(QStringLiteral("计算机一班  "));
            form.Command1->click();
            QCOMPARE(form.result(), int(QDialog::Accepted));
        });
        ClientState &s = f.c().state;
        QCOMPARE(s.strXuehao, QStringLiteral("2026031"));
        QCOMPARE(s.strUserName, QStringLiteral("王小明"));
        QCOMPARE(s.strBanji, QStringLiteral("计算机一班"));
        QCOMPARE(f.c().ui.sb->panelText(2), QStringLiteral("姓名：王小明"));
        QCOMPARE(f.c().ui.sb->panelText(3), QStringLiteral("学号：2026031"));
        QCOMPARE(f.c().ui.sb->panelText(4), QStringLiteral("班级：计算机一班"));
        QCOMPARE(f.read(QStringLiteral("userinfo"), QStringLiteral("name")),
                 QStringLiteral("王小明"));
        QCOMPARE(f.read(QStringLiteral("userinfo"), QStringLiteral("xuehao")),
                 QStringLiteral("2026031"));
        QCOMPARE(f.read(QStringLiteral("userinfo"), QStringLiteral("banji")),
                 QStringLiteral("计算机一班"));
        const FakeDialogs::Shown box = f.env.dialogs.lastBox();
        QCOMPARE(box.text, kDone);
        QCOMPARE(box.title, applicationTitle());
        QCOMPARE(box.icon, int(QMessageBox::Information));
        QCOMPARE(f.boxTexts().size(), 1);

        // The values come back at the next start of the client.
        TestEnv next;
        next.services.paths = f.env.services.paths;
        next.createForm();
        QCOMPARE(next.client().state.strUserName, QStringLiteral("王小明"));
        QCOMPARE(next.client().state.strBanji, QStringLiteral("计算机一班"));
    }

    void personalDialogAcceptsEmptyFields()
    {
        Fixture f;
        f.c().state.strUserName = QStringLiteral("李明");
        f.run<Form2>([](Form2 &form) {
            form.Text1->clear();
            form.Text2->setText(QStringLiteral("   "));
            form.Text3->clear();
            form.Command1->click();
        });
        QVERIFY(f.c().state.strUserName.isEmpty());
        QCOMPARE(f.c().ui.sb->panelText(2), QStringLiteral("姓名："));
        QCOMPARE(f.c().ui.sb->panelText(3), QStringLiteral("学号："));
        QCOMPARE(f.c().ui.sb->panelText(4), QStringLiteral("班级："));
        QFile file(f.ini());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("[userinfo]"));
        QVERIFY(content.contains("name=\r\n"));
        QVERIFY(content.contains("xuehao=\r\n"));
        QVERIFY(content.contains("banji="));
        QCOMPARE(f.env.dialogs.lastBox().text, kDone);
    }

    void personalDialogLimitsWhatCanBeTyped()
    {
        Fixture f;
        f.run<Form2>([](Form2 &form) {
            // Chinese arrives from the input method, one committed character at a time.
            for (QChar c : QStringLiteral("一二三四五六七八九十壹")) {
                QInputMethodEvent commit;
                commit.setCommitString(c);
                QApplication::sendEvent(form.Text2, &commit);
            }
            QCOMPARE(form.Text2->text(), QStringLiteral("一二三四五六七八九十"));
            QTest::keyClicks(form.Text1, QString(30, u'7'));
            QCOMPARE(form.Text1->text(), QString(25, u'7'));
            form.Command1->click();
        });
        QCOMPARE(f.c().state.strUserName, QStringLiteral("一二三四五六七八九十"));
        QCOMPARE(f.read(QStringLiteral("userinfo"), QStringLiteral("name")),
                 QStringLiteral("一二三四五六七八九十"));
    }

    void personalDialogKeepsALongerStoredValue()
    {
        // A name edited by hand into appset.ini is shown whole and not cut by confirming.
        Fixture f;
        const QString longName = QStringLiteral("欧阳一二三四五六七八九");
        f.c().state.strUserName = longName;
        f.run<Form2>([&](Form2 &form) {
            QCOMPARE(form.Text2->text(), longName);
            form.Command1->click();
        });
        QCOMPARE(f.c().state.strUserName, longName);
        QCOMPARE(f.read(QStringLiteral("userinfo"), QStringLiteral("name")), longName);
    }

    void personalDialogCancelChangesNothing()
    {
        Fixture f;
        f.c().state.strUserName = QStringLiteral("李明");
        f.c().ui.sb->setPanelText(2, QStringLiteral("姓名：李明"));
        f.run<Form2>([](Form2 &form) {
            form.Text2->setText(QStringLiteral("张三"));
            form.Text1->setText(QStringLiteral("99"));
            form.Command2->click();
            QCOMPARE(form.result(), int(QDialog::Rejected));
        });
        QCOMPARE(f.c().state.strUserName, QStringLiteral("李明"));
        QVERIFY(f.c().state.strXuehao.isEmpty());
        QCOMPARE(f.c().ui.sb->panelText(2), QStringLiteral("姓名：李明"));
        QVERIFY(!QFile::exists(f.ini()));
        QVERIFY(f.boxTexts().isEmpty());
    }

    void personalDialogRefusesUnsafeIdentity_data()
    {
        QTest::addColumn<int>("field"); // 1 student number, 2 name, 3 class
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // part of the message
        QTest::newRow("bar in number")
            << 1 << QStringLiteral("20|26") << QStringLiteral("学号中不能含有“|”");
        QTest::newRow("bar in name")
            << 2 << QStringLiteral("李|明") << QStringLiteral("姓名中不能含有“|”");
        QTest::newRow("bar in class")
            << 3 << QStringLiteral("|") << QStringLiteral("班级中不能含有“|”");
        QTest::newRow("emoji in name")
            << 2 << QStringLiteral("李明😀") << QStringLiteral("姓名中有无法保存和发送的字符：😀");
        QTest::newRow("hangul in class")
            << 3 << QStringLiteral("三班한") << QStringLiteral("班级中有无法保存和发送的字符：한");
    }

    void personalDialogRefusesUnsafeIdentity()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Fixture f;
        f.c().state.strUserName = QStringLiteral("李明");
        bool focusOnOffending = false;
        f.run<Form2>([&](Form2 &form) {
            form.Text1->setText(QStringLiteral("2026001"));
            form.Text2->setText(QStringLiteral("王五"));
            form.Text3->setText(QStringLiteral("三班"));
            QLineEdit *offending = field == 1 ? form.Text1 : field == 2 ? form.Text2 : form.Text3;
            offending->setText(text);
            form.Command1->click();
            focusOnOffending = form.focusWidget() == offending;
            // The student mends the field and confirms again.
            offending->setText(QStringLiteral("好"));
            form.Command1->click();
            QCOMPARE(form.result(), int(QDialog::Accepted));
        });
        QVERIFY(focusOnOffending);
        const QStringList boxes = f.boxTexts();
        QCOMPARE(boxes.size(), 2);
        QVERIFY2(boxes[0].contains(expected), qPrintable(boxes[0]));
        QCOMPARE(f.env.dialogs.shown[1].icon, int(QMessageBox::Warning));
        QCOMPARE(boxes[1], kDone);
        // Only the mended value reached the state and the file.
        const ClientState &s = f.c().state;
        const QString key = field == 1   ? QStringLiteral("xuehao")
                            : field == 2 ? QStringLiteral("name")
                                         : QStringLiteral("banji");
        const QString stored = field == 1 ? s.strXuehao : field == 2 ? s.strUserName : s.strBanji;
        QCOMPARE(stored, QStringLiteral("好"));
        QCOMPARE(f.read(QStringLiteral("userinfo"), key), QStringLiteral("好"));
    }

    void refusedIdentityLeavesEverythingUnchanged()
    {
        Fixture f;
        f.c().state.strUserName = QStringLiteral("李明");
        f.run<Form2>([](Form2 &form) {
            form.Text2->setText(QStringLiteral("a|b"));
            form.Text1->setText(QStringLiteral("2026"));
            form.Command1->click();
            QCOMPARE(form.result(), 0); // still open
            form.Command2->click();
        });
        QCOMPARE(f.c().state.strUserName, QStringLiteral("李明"));
        QVERIFY(f.c().state.strXuehao.isEmpty());
        QVERIFY(!QFile::exists(f.ini()));
    }

    void serverDialogOpensWithTheState()
    {
        Fixture f;
        f.c().state.strServerIp = QStringLiteral("10.0.0.5");
        f.c().state.NumServerPort = 2000;
        f.run<Form3>([](Form3 &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("服务器设置"));
            QCOMPARE(form.size(), QSize(twipsToPixels(&form, 5685), twipsToPixels(&form, 1620)));
            QCOMPARE(form.Label1->text(), QStringLiteral("服务器IP地址："));
            QCOMPARE(form.Label2->text(), QStringLiteral("端   口   号："));
            QCOMPARE(form.Text1->text(), QStringLiteral("10.0.0.5"));
            QCOMPARE(form.Text2->text(), QStringLiteral("2000"));
            QCOMPARE(form.Text1->maxLength(), 15);
            QCOMPARE(form.Text2->maxLength(), 5);
            QCOMPARE(form.focusWidget(), form.Text1);
            // Cancel comes before OK in the tab order although it stands to its right.
            QCOMPARE(form.Text1->nextInFocusChain(), form.Text2);
            QCOMPARE(form.Text2->nextInFocusChain(), form.Command2);
            QCOMPARE(form.Command2->nextInFocusChain(), form.Command1);
            QVERIFY(form.Command2->x() > form.Command1->x());
            form.Command2->click();
        });
        QCOMPARE(f.opened, 1);
    }

    void serverDialogPort_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lowest") << QStringLiteral("1024") << true << 1024 << QStringLiteral("1024");
        QTest::newRow("highest") << QStringLiteral("65000") << true << 65000
                                 << QStringLiteral("65000");
        QTest::newRow("blanks") << QStringLiteral(" 8080") << true << 8080
                                << QStringLiteral("8080");
        QTest::newRow("exponent as typed")
            << QStringLiteral("1.5e3") << true << 1500 << QStringLiteral("1.5e3");
        QTest::newRow("1023") << QStringLiteral("1023") << false << 0 << QString();
        QTest::newRow("65001") << QStringLiteral("65001") << false << 0 << QString();
        QTest::newRow("zero") << QStringLiteral("0") << false << 0 << QString();
        QTest::newRow("empty") << QString() << false << 0 << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << false << 0 << QString();
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0 << QString();
        QTest::newRow("negative") << QStringLiteral("-2000") << false << 0 << QString();
        QTest::newRow("beyond 32 bits") << QStringLiteral("9e99") << false << 0 << QString();
    }

    void serverDialogPort()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(int, port);
        QFETCH(QString, stored);
        Fixture f;
        f.c().state.NumServerPort = 3000;
        f.c().state.strServerIp = QStringLiteral("old");
        QString textAfter;
        int result = -1;
        f.run<Form3>([&](Form3 &form) {
            form.Text1->setText(QStringLiteral("  192.168.0.9 "));
            form.Text2->setText(typed);
            form.Command1->click();
            textAfter = form.Text2->text();
            result = form.result();
            if (!result)
                form.Command2->click();
        });
        const ClientState &s = f.c().state;
        if (accepted) {
            QCOMPARE(result, int(QDialog::Accepted));
            QCOMPARE(s.NumServerPort, port);
            QCOMPARE(s.strServerIp, QStringLiteral("192.168.0.9"));
            QCOMPARE(f.read(QStringLiteral("serverset"), QStringLiteral("ip")),
                     QStringLiteral("192.168.0.9"));
            QCOMPARE(f.read(QStringLiteral("serverset"), QStringLiteral("port")), stored);
            QCOMPARE(f.boxTexts(), QStringList{kDone});
            QCOMPARE(f.env.dialogs.lastBox().icon, int(QMessageBox::Information));
        } else {
            QCOMPARE(result, 0); // the dialog stayed open until cancel
            QCOMPARE(textAfter, QStringLiteral("3000"));
            QCOMPARE(s.NumServerPort, 3000);
            QCOMPARE(s.strServerIp, QStringLiteral("old"));
            QVERIFY(!QFile::exists(f.ini()));
            const FakeDialogs::Shown box = f.env.dialogs.lastBox();
            QCOMPARE(box.text, kPortWarning);
            QCOMPARE(box.title, applicationTitle());
            QCOMPARE(box.icon, int(QMessageBox::Warning));
            QCOMPARE(f.boxTexts().size(), 1);
        }
    }

    void serverDialogKeepsOtherSettings()
    {
        Fixture f;
        f.env.writeGbkFile(
            QStringLiteral("appset.ini"),
            QStringLiteral("[userinfo]\r\nname=李明\r\n[serverset]\r\nip=a\r\nport=2000\r\n"));
        f.run<Form3>([](Form3 &form) {
            form.Text1->setText(QStringLiteral("server.lan"));
            form.Text2->setText(QStringLiteral("4000"));
            form.Command1->click();
        });
        QCOMPARE(f.read(QStringLiteral("userinfo"), QStringLiteral("name")),
                 QStringLiteral("李明"));
        QCOMPARE(f.read(QStringLiteral("serverset"), QStringLiteral("ip")),
                 QStringLiteral("server.lan"));
        QCOMPARE(f.read(QStringLiteral("serverset"), QStringLiteral("port")),
                 QStringLiteral("4000"));
    }

    void serverDialogCancelChangesNothing()
    {
        Fixture f;
        f.c().state.strServerIp = QStringLiteral("h");
        f.run<Form3>([](Form3 &form) {
            form.Text1->setText(QStringLiteral("other"));
            form.Text2->setText(QStringLiteral("5000"));
            form.Command2->click();
        });
        QCOMPARE(f.c().state.strServerIp, QStringLiteral("h"));
        QCOMPARE(f.c().state.NumServerPort, 10000);
        QVERIFY(!QFile::exists(f.ini()));
        QVERIFY(f.boxTexts().isEmpty());
    }

    void failedWriteIsReported_data()
    {
        QTest::addColumn<bool>("personal");
        QTest::addColumn<bool>("readOnlyFolder"); // else the folder's parent is a file
        QTest::newRow("personal, parent is a file") << true << false;
        QTest::newRow("server, parent is a file") << false << false;
        QTest::newRow("personal, read-only folder") << true << true;
        QTest::newRow("server, read-only folder") << false << true;
    }

    void failedWriteIsReported()
    {
        QFETCH(bool, personal);
        QFETCH(bool, readOnlyFolder);
        Fixture f;
        QTemporaryDir other;
        QString folder;
        if (readOnlyFolder) {
            folder = other.filePath(QStringLiteral("ro"));
            QVERIFY(QDir().mkpath(folder));
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            QFile probe(folder + QStringLiteral("/probe"));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
                QSKIP("This user writes into read-only folders (root); the parent-is-a-file "
                      "rows cover the failure.");
            }
        } else {
            folder = unwritableFolder(other);
        }
        f.c().services.paths = AppPaths::inFolder(folder);
        int result = -1;
        if (personal) {
            f.run<Form2>([&](Form2 &form) {
                form.Text2->setText(QStringLiteral("李明"));
                form.Command1->click();
                result = form.result();
            });
            QCOMPARE(f.c().state.strUserName, QStringLiteral("李明"));
            QCOMPARE(f.c().ui.sb->panelText(2), QStringLiteral("姓名：李明"));
        } else {
            f.run<Form3>([&](Form3 &form) {
                form.Text1->setText(QStringLiteral("10.1.1.1"));
                form.Text2->setText(QStringLiteral("4000"));
                form.Command1->click();
                result = form.result();
            });
            QCOMPARE(f.c().state.strServerIp, QStringLiteral("10.1.1.1"));
            QCOMPARE(f.c().state.NumServerPort, 4000);
        }
        if (readOnlyFolder)
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        QCOMPARE(result, int(QDialog::Accepted));
        const QStringList boxes = f.boxTexts();
        QCOMPARE(boxes.size(), 1); // one warning, not one per key, and no completion message
        QVERIFY2(boxes[0].startsWith(QStringLiteral("设置未能保存！")), qPrintable(boxes[0]));
        QVERIFY(boxes[0].contains(QStringLiteral("appset.ini")));
        QVERIFY(!boxes[0].contains(QStringLiteral("设置完成")));
        QCOMPARE(f.env.dialogs.lastBox().icon, int(QMessageBox::Warning));
        QVERIFY(!QFile::exists(settingsFile(folder)));
    }

    void dialogsRunModallyOverTheMainWindow()
    {
        // The real modal loop: the dialog is the active modal window until OK, then the
        // completion box is, and the button's handler returns after both have closed.
        Fixture f;
        f.env.windows.answer = [](QDialog &dialog) { return dialog.exec(); };
        f.env.form->show();
        QStringList seen;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *form = qobject_cast<Form3 *>(modal)) {
                if (seen.isEmpty()) {
                    seen << QStringLiteral("Form3");
                    QVERIFY(form->isVisible());
                    form->Text1->setText(QStringLiteral("127.0.0.1"));
                    form->Text2->setText(QStringLiteral("6000"));
                    QMetaObject::invokeMethod(form->Command1, &QPushButton::click,
                                              Qt::QueuedConnection);
                }
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                seen << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        poll.start();
        QTimer::singleShot(5000, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close(); // never hang the suite
        });
        f.c().ui.cmdserverset->click();
        poll.stop();
        QCOMPARE(seen, (QStringList{QStringLiteral("Form3"), kDone}));
        QCOMPARE(f.c().state.NumServerPort, 6000);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

CLIENT_TEST(SettingsDialogsTest)
#include "tst_settingsdialogs.moc"
