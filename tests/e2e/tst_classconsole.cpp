// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/Client.h"
#include "net/Connection.h"
#include "net/TcpSocket.h"
#include "net/TestControl.h"
#include "server/ClassConsole.h"
#include "server/TestServer.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestRegistry.h"
#include "typing/TestSession.h"
#include "typing/widgets/RichTextBox.h"
#include "ui/Form1.h"

#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The client's own objects on a real socket, in the class list of the teacher's console: what
// the student's client reports is what the teacher sees and what the results file keeps.
class ClassConsoleEndToEndTest : public QObject
{
    Q_OBJECT
private slots:
    void clientInTheClassList()
    {
        TestServer server;
        server.settings().messageGapMs = 20;
        server.settings().environmentPauseMs = 50;
        ClassConsole console(server);
        QTemporaryDir results;
        console.setResultsFolder(results.path());
        TestSetup setup;
        setup.text = QStringLiteral("教师控制台测试");
        setup.timeLimit = 10;
        QVERIFY(console.applySetup(setup).ok());
        QVERIFY(server.listen(0).ok());
        QSignalSpy settingsSent(&server, &TestServer::settingsSent);

        TcpSocket socket;
        TestEnv env;
        env.createForm(&socket);
        Client &c = env.client();
        c.state.strServerIp = QStringLiteral("127.0.0.1");
        c.state.NumServerPort = server.port();
        c.state.strXuehao = QStringLiteral("42");
        c.state.strUserName = QStringLiteral("赵雪");
        c.state.strBanji = QStringLiteral("四班");
        // Every box is answered at once: Yes to questions, OK otherwise.
        env.windows.answer = FakeWindows::yesOrOk;

        c.connection->cmdlianjie_Click();
        QTRY_COMPARE_WITH_TIMEOUT(settingsSent.size(), 1, 5000);
        QCOMPARE(console.roster().size(), 1);
        QTRY_COMPARE(console.roster().at(0).state, StudentRow::State::Ready);
        QVERIFY(console.startTest(QStringLiteral("e2e")).ok());
        // The text comes when the student presses start.
        c.session->cmdread_Click();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.txt1->text(), QStringLiteral("教师控制台测试"), 5000);
        c.ui.txt2->setText(QStringLiteral("教师空"));
        QTRY_VERIFY_WITH_TIMEOUT(console.roster().at(0).live.has_value() &&
                                     console.roster().at(0).live->inputCount == 3,
                                 5000);
        const StudentRow &row = console.roster().at(0);
        QCOMPARE(row.xuehao, QStringLiteral("42"));
        QCOMPARE(row.name, QStringLiteral("赵雪"));
        QCOMPARE(row.banji, QStringLiteral("四班"));
        QCOMPARE(row.computer, c.state.computerName);
        QCOMPARE(row.inputMethod, c.ui.cmbshurufa->currentText());
        QCOMPARE(row.state, StudentRow::State::Typing);
        QCOMPARE(row.live->txtCount, 7);
        QCOMPARE(row.live->right, 2);
        QCOMPARE(row.live->errChars, QStringLiteral("控"));
        QVERIFY(row.replies.contains(QStringLiteral("1011")));

        c.session->cmdexit_Click();
        QTRY_VERIFY_WITH_TIMEOUT(console.roster().at(0).final.has_value(), 5000);
        QCOMPARE(console.roster().at(0).final->totalTime, c.state.TotalTime);
        QVERIFY(console.saveResults().ok());
        QFile file(console.lastSavedPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(file.readAll().mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines.at(1).startsWith(QStringLiteral("42,赵雪,四班,")), qPrintable(lines.at(1)));
        // Finished, then the grade against the pass mark.
        QVERIFY2(lines.at(1).contains(QStringLiteral(",控,,是,")), qPrintable(lines.at(1)));
        c.ui.Timer3->stop();
    }
};

CLIENT_TEST(ClassConsoleEndToEndTest)
#include "tst_classconsole.moc"
