// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Gbk.h"
#include "teacher/widgets/TeacherWindow.h"
#include "tests/server/ClassFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The console's window as a picture, into $SHOTS when it is set.
void shot(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                   QDir(folder).filePath(name + QStringLiteral("-screen.png"))});
}

} // namespace

// The real client (the chengling-client program) on an X display against the console's window
// for one whole test, with a roster, absent students, two simulated students and an impostor:
// what the student types is what the console shows and the results keep. Run under xvfb-run by
// ctest (teacher_real); $SHOTS keeps pictures of the console.
class RealClassTest : public QObject
{
    Q_OBJECT
private slots:
    void wholeTestWithTheRealClient()
    {
        if (QGuiApplication::platformName() != u"xcb" ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs an X display (xvfb-run) and xdotool");
        const QString bin = QCoreApplication::applicationDirPath();
        if (!QFile::exists(bin + QStringLiteral("/chengling-client")))
            QSKIP("chengling-client is not built next to the tests");
        ClassFixture room(1);
        TestSetup setup = room.console.setup();
        setup.text = QStringLiteral("春眠不觉晓处处闻啼鸟");
        QVERIFY(room.console.applySetup(setup).ok());
        QVERIFY(room.console
                    .setRoster({{"31", "李明", "三班", ""},
                                {"32", "王芳", "三班", "PC32"},
                                {"33", "张伟", "三班", "PC33"},
                                {"34", "刘洋", "三班", ""},
                                {"35", "陈静", "三班", ""}})
                    .ok());
        TeacherWindow window(room.console);
        window.resize(1280, 760);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // A client of its own folder, so its settings file is its own.
        QTemporaryDir clientDir;
        for (const QString &file : {QStringLiteral("chengling-client"), QStringLiteral("wb.dat"),
                                    QStringLiteral("wbcz.dat"), QStringLiteral("86zg.dat")})
            QFile::copy(bin + u'/' + file, clientDir.filePath(file));
        QFile::setPermissions(clientDir.filePath("chengling-client"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile ini(clientDir.filePath("appset.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(gbk::encode(QStringLiteral("[serverset]\r\nip=127.0.0.1\r\nport=%1\r\n"
                                             "[userinfo]\r\nname=李明\r\nxuehao=31\r\n"
                                             "banji=三班\r\n")
                                  .arg(room.server.port()))
                      .bytes);
        ini.close();
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("QT_IM_MODULE"));
        client.setProcessEnvironment(env);
        client.start(clientDir.filePath("chengling-client"), {});
        QVERIFY(client.waitForStarted());
        QString id;
        QVERIFY(QTest::qWaitFor(
            [&] {
                id = run("xdotool", {"search", "--classname", "^chengling-client$"})
                         .section(u'\n', -1);
                return !id.isEmpty();
            },
            10000));
        QTest::qWait(1500); // the code tables load
        const QString geometry = run("xdotool", {"getwindowgeometry", "--shell", id});
        const int width = geometry.section("WIDTH=", 1).section(u'\n', 0, 0).toInt();
        QVERIFY(width > 0);
        // The buttons sit at fixed places in twips from the window's right edge (15 twips a
        // pixel): "连接..." at 6788, "开 始" at 5683, 320 down.
        const auto click = [&](int twipsFromRight) {
            run("xdotool",
                {"mousemove", "--window", id, QString::number(width - twipsFromRight / 15),
                 QString::number(320 / 15), "click", "1"});
        };
        click(6788);
        QTRY_VERIFY_WITH_TIMEOUT(room.console.roster().size() == 6, 10000);

        auto wang = room.join(QStringLiteral("32"), QStringLiteral("PC32"));
        auto zhang = room.join(QStringLiteral("33"), QStringLiteral("PC33"));
        for (auto *s : {wang.get(), zhang.get()})
            QVERIFY(QTest::qWaitFor([&] { return s->timings.size() == 1; }, 5000));
        QPushButton *start = nullptr;
        for (QPushButton *button : window.findChildren<QPushButton *>())
            if (button->text() == u"开始测试")
                start = button;
        QVERIFY(start);
        start->click();
        QVERIFY(room.console.testRunning());
        click(5683);
        for (auto *s : {wang.get(), zhang.get()}) {
            s->pressStart();
            QVERIFY(QTest::qWaitFor([&] { return s->gotText; }, 5000));
        }
        wang->sendProgress(wang->progress(5, 4, 4));
        zhang->sendProgress(zhang->progress(5, 3, 2, QStringLiteral("晓")));
        QTRY_VERIFY(room.row("32").live && room.row("33").live);
        // Someone at another computer claims 王芳's number.
        auto impostor = room.typing(QStringLiteral("32"), QStringLiteral("PC99"));
        impostor->sendProgress(impostor->progress(1, 10, 10));
        QTRY_COMPARE(impostor->duplicateNotices, 1);
        QTRY_VERIFY(room.duplicateRowOf("32") >= 0);

        // The student types the whole text into the real client.
        QTest::qWait(500);
        run("xdotool", {"type", "--delay", "200", setup.text});
        QTRY_VERIFY_WITH_TIMEOUT(room.rowOf("31") >= 0 && room.row("31").finished(), 20000);
        const StudentRow &li = room.row("31");
        QCOMPARE(li.finish, StudentRow::Finish::Completed);
        QCOMPARE(li.final->right, 10);
        QCOMPARE(li.name, QStringLiteral("李明"));
        for (auto *s : {wang.get(), zhang.get()})
            s->sendProgress(s->progress(8, 6, 6));
        QTest::qWait(1200);
        window.refresh();
        QCOMPARE(room.console.summary().absent, 2);
        shot(window, QStringLiteral("teacher-console-roster-duplicate"));

        // The teacher keeps the first 王芳 and ends the test.
        QVERIFY(room.console
                    .decideDuplicate(room.duplicateRowOf("32"), ClassConsole::Decision::KeepFirst)
                    .ok());
        QVERIFY(room.console.endTest().ok());
        window.refresh();
        shot(window, QStringLiteral("teacher-console-ended"));
        const QList<QStringList> lines = csvLines(room.console.lastSavedPath());
        QCOMPARE(lines.size(), 5);
        for (const QStringList &line : lines)
            if (line.at(csv::Number) == u"31") {
                QCOMPARE(line.at(csv::Finish), QStringLiteral("打完"));
                QCOMPARE(line.at(csv::Right), QStringLiteral("10"));
                QCOMPARE(line.at(csv::Speed),
                         li.speed() ? ClassRoster::cellText(li, ClassRoster::Speed) : QString());
            }
        client.kill();
        client.waitForFinished(5000);
    }
};

CLIENT_TEST(RealClassTest)
#include "tst_realclass.moc"
