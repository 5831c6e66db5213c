// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Gbk.h"
#include "net/TestControl.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

// Whatever a server sends, the client must neither crash nor hang, and its counters must stay
// inside the ranges the reports can carry.
class RobustnessTest : public QObject
{
    Q_OBJECT
private slots:
    void randomServerMessages()
    {
        LogicEnv env;
        env.createLogic();
        Client &c = env.client();
        c.ui.Timer4->stop();
        env.fakeSocket.setState(7);
        env.inputMethods.setDescriptions({QStringLiteral("中文 - 五笔86"), QStringLiteral("拼音")});
        env.windowTitles.list = {QStringLiteral("记事本"), QStringLiteral("测试")};

        QRandomGenerator random(20261209);
        const QStringList codes{"0010",     "0099",     "0011", "0100", "0009", "0008",
                                "0010<cz>", "0010<zg>", "1099", "00",   ""};
        for (int i = 0; i < 4000; ++i) {
            QByteArray bytes;
            const int length = random.bounded(100) == 0 ? 40000 : int(random.bounded(120));
            bytes.resize(length);
            for (char &b : bytes)
                b = char(random.bounded(256));
            // Mostly readable bodies with separators, sometimes raw bytes.
            QString body = gbk::decode(bytes);
            if (random.bounded(2))
                body.replace(random.bounded(qMax(1, int(body.size()))), 0, QStringLiteral("|"));
            const QString message = codes.at(random.bounded(int(codes.size()))) + body;
            env.fakeSocket.arrive(message);
            if (random.bounded(10) == 0)
                c.ui.txt2->setText(c.ui.txt2->text() + QStringLiteral("字"));

            QVERIFY(c.state.NumTxtCount >= 0 && c.state.NumTxtCount <= ClientState::kMaxCount);
            QVERIFY(c.state.NumTxtRight <= c.state.NumTxtInputCount);
            QCOMPARE(c.state.NumTxtCount, int(c.ui.txt1->text().size()));
        }
        c.ui.Timer3->stop();
    }
};

CLIENT_TEST(RobustnessTest)
#include "tst_robustness.moc"
