// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"
#include "core/Client.h"
#include "core/Gbk.h"
#include "hints/CodeTables.h"
#include "tests/support/LogicEnv.h"
#include "tests/support/TestRegistry.h"

#include <QFile>
#include <QTest>
#include <QTimer>

namespace {

const QString kCharacters = QStringLiteral("工,aaaa,001,gong\r\n"
                                           "我,trnt,104113,wo\r\n"
                                           "的,rqyy,104,de\r\n"
                                           "的,RQ,104,di\r\n"
                                           "镸,dd,020,Chang\r\n"
                                           "短,td,113013,duan,dd,extra\r\n"
                                           "缺\r\n");

const QString kWords = QStringLiteral("aaaa,工工\r\n"
                                      "wqiy,你们\r\n"
                                      "WQ,你们\r\n"
                                      "dfdf,大大,extra\r\n");

void writeRaw(LogicEnv &env, const QString &name, const QString &content)
{
    QFile file(env.dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(gbk::encode(content).bytes);
}

} // namespace

class CodeTablesTest : public QObject
{
    Q_OBJECT
private slots:
    void findWord_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one row, code upper-cased")
            << QStringLiteral("工") << QStringLiteral("五笔编码：AAAA     拼音编码：gong");
        QTest::newRow("two rows, both codes, Pinyin run together")
            << QStringLiteral("的") << QStringLiteral("五笔编码：RQYY RQ     拼音编码：dedi");
        QTest::newRow("Pinyin keeps its case")
            << QStringLiteral("镸") << QStringLiteral("五笔编码：DD     拼音编码：Chang");
        QTest::newRow("surplus fields dropped")
            << QStringLiteral("短") << QStringLiteral("五笔编码：TD     拼音编码：duan");
        QTest::newRow("line of one field: empty code and Pinyin")
            << QStringLiteral("缺") << QStringLiteral("五笔编码：     拼音编码：");
        QTest::newRow("missing character")
            << QStringLiteral("无") << QStringLiteral("五笔编码：    拼音编码：");
        QTest::newRow("empty text") << QString() << QStringLiteral("五笔编码：    拼音编码：");
        QTest::newRow("not a prefix match")
            << QStringLiteral("工工") << QStringLiteral("五笔编码：    拼音编码：");
    }
    void findWord()
    {
        QFETCH(QString, character);
        QFETCH(QString, expected);
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), kCharacters);
        env.createLogic();
        QCOMPARE(env.client().tables->FindWord(character), expected);
    }

    void findCz_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("expected");
        QTest::newRow("found") << QStringLiteral("工工") << QStringLiteral("五笔编码：AAAA ");
        QTest::newRow("first of two entries wins")
            << QStringLiteral("你们") << QStringLiteral("五笔编码：WQIY ");
        QTest::newRow("surplus field dropped")
            << QStringLiteral("大大") << QStringLiteral("五笔编码：DFDF ");
        QTest::newRow("missing word, no blank")
            << QStringLiteral("他们") << QStringLiteral("五笔编码：");
        QTest::newRow("empty text") << QString() << QStringLiteral("五笔编码：");
        QTest::newRow("blank kept in the key")
            << QStringLiteral("工工 ") << QStringLiteral("五笔编码：");
    }
    void findCz()
    {
        QFETCH(QString, word);
        QFETCH(QString, expected);
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wbcz.dat"), kWords);
        env.createLogic();
        QCOMPARE(env.client().tables->FindCz(word), expected);
    }

    void rootFieldOfFirstRow()
    {
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"),
                         QStringLiteral("的,rqyy,104,de\r\n的,rq,999,di\r\n"));
        env.createLogic();
        const CodeTables &tables = *env.client().tables;
        QCOMPARE(tables.rootField(QStringLiteral("的")), QStringLiteral("104"));
        QCOMPARE(tables.rootField(QStringLiteral("无")), QString());
    }

    void missingFilesGiveEmptyTablesSilently()
    {
        LogicEnv env;
        env.createLogic();
        const CodeTables &tables = *env.client().tables;
        QCOMPARE(tables.wbCount(), 0);
        QVERIFY(tables.czWord().isEmpty());
        QVERIFY(tables.czCode().isEmpty());
        QCOMPARE(tables.FindWord(QStringLiteral("工")), QStringLiteral("五笔编码：    拼音编码："));
        QCOMPARE(tables.FindCz(QStringLiteral("工工")), QStringLiteral("五笔编码："));
        QCOMPARE(env.dialogs.count(), 0);
        QVERIFY(env.client().ui.Ptop->isEnabled());
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("content");
        QTest::newRow("CR LF") << QStringLiteral("甲,a,,x\r\n乙,b,,y\r\n\r\n丙,c,,z\r\n");
        QTest::newRow("lone CR") << QStringLiteral("甲,a,,x\r乙,b,,y\r\r丙,c,,z\r");
        QTest::newRow("LF") << QStringLiteral("甲,a,,x\n乙,b,,y\n\n丙,c,,z\n");
        QTest::newRow("mixed, last line unended")
            << QStringLiteral("甲,a,,x\r乙,b,,y\n\r\n丙,c,,z");
    }
    void lineEnds()
    {
        QFETCH(QString, content);
        LogicEnv env;
        writeRaw(env, QStringLiteral("wb.dat"), content);
        writeRaw(env, QStringLiteral("wbcz.dat"), content);
        env.createLogic();
        const CodeTables &tables = *env.client().tables;
        // The empty third line is a row of its own.
        QCOMPARE(tables.wbCount(), 4);
        const QStringList characters{QStringLiteral("甲"), QStringLiteral("乙"), QString(),
                                     QStringLiteral("丙")};
        const QStringList pinyin{QStringLiteral("x"), QStringLiteral("y"), QString(),
                                 QStringLiteral("z")};
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(tables.wbTable()[r][0], characters[r]);
            QCOMPARE(tables.wbTable()[r][3], pinyin[r]);
        }
        QCOMPARE(tables.czCode(), (QStringList{QStringLiteral("甲"), QStringLiteral("乙"),
                                               QString(), QStringLiteral("丙")}));
        QCOMPARE(tables.czWord(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QString(),
                                               QStringLiteral("c")}));
    }

    void lineWithoutCommaIsACodeWithoutWord()
    {
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wbcz.dat"), QStringLiteral("abcd\r\nwqiy,你们\r\n"));
        env.createLogic();
        const CodeTables &tables = *env.client().tables;
        QCOMPARE(tables.czCode().value(0), QStringLiteral("abcd"));
        QCOMPARE(tables.czWord().value(0), QString());
        QCOMPARE(tables.FindCz(QStringLiteral("你们")), QStringLiteral("五笔编码：WQIY "));
    }

    void onlyTheFirst12000LinesAreRead()
    {
        QString content;
        for (int i = 1; i <= 12500; ++i)
            content += QStringLiteral("字%1,c%1,001,p%1\r\n").arg(i);
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), content);
        env.createLogic();
        const CodeTables &tables = *env.client().tables;
        QCOMPARE(tables.wbCount(), CodeTables::kMaxRows);
        QCOMPARE(tables.FindWord(QStringLiteral("字12000")),
                 QStringLiteral("五笔编码：C12000     拼音编码：p12000"));
        QCOMPARE(tables.FindWord(QStringLiteral("字12001")),
                 QStringLiteral("五笔编码：    拼音编码："));
    }

    void wordTableHasNoLimit()
    {
        QString content;
        for (int i = 1; i <= 13000; ++i)
            content += QStringLiteral("c%1,词%1\r\n").arg(i);
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wbcz.dat"), content);
        env.createLogic();
        QCOMPARE(env.client().tables->czWord().size(), 13000);
        QCOMPARE(env.client().tables->FindCz(QStringLiteral("词13000")),
                 QStringLiteral("五笔编码：C13000 "));
    }

    // The panel is disabled while the lines are read, events run between the lines, and the
    // panel's children keep their own enabled state afterwards.
    void panelDisabledWhileLoading()
    {
        QString content;
        for (int i = 1; i <= 50; ++i)
            content += QStringLiteral("字%1,c,,p\r\n").arg(i);
        LogicEnv env;
        env.writeGbkFile(QStringLiteral("wb.dat"), content);
        env.createLogic();
        Client &client = env.client();
        QVERIFY(!client.ui.cts->isEnabled());

        bool ran = false;
        bool panelEnabled = true;
        int rowsSeen = -1;
        QTimer::singleShot(0, [&] {
            ran = true;
            panelEnabled = client.ui.Ptop->isEnabled();
            rowsSeen = client.tables->wbCount();
        });
        client.tables->ReadBM();
        QVERIFY(ran);
        QVERIFY(!panelEnabled);
        QVERIFY(rowsSeen >= 1 && rowsSeen < 50);
        QVERIFY(client.ui.Ptop->isEnabled());
        QVERIFY(client.ui.cmdlianjie->isEnabled());
        QVERIFY(!client.ui.cts->isEnabled());
        QCOMPARE(client.tables->wbCount(), 50);
    }
};

CLIENT_TEST(CodeTablesTest)
#include "tst_codetables.moc"
