// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/Protocol.h"
#include "tests/support/TestRegistry.h"

#include <QTest>

using protocol::Report;
using protocol::TextKind;

namespace {

// The student of the worked example: number 31, 李明 of 三班, 65 seconds into a 300-character
// text, 120 typed, 118 right, 3 backspaces, on PC07, having mistyped 的 and 是.
Report liMing()
{
    Report report;
    report.xuehao = QStringLiteral("31");
    report.name = QStringLiteral("李明");
    report.banji = QStringLiteral("三班");
    report.totalTime = 65;
    report.txtCount = 300;
    report.inputCount = 120;
    report.right = 118;
    report.backspaces = 3;
    report.inputMethod = QStringLiteral("英语（美国）");
    report.computer = QStringLiteral("PC07");
    report.errChars = QStringLiteral("的是");
    return report;
}

} // namespace

class ProtocolTest : public QObject
{
    Q_OBJECT
private slots:
    void codeAndBody_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("body");
        QTest::newRow("timing") << "000810|5"
                                << "0008"
                                << "10|5";
        QTest::newRow("code only") << "0010"
                                   << "0010"
                                   << "";
        QTest::newRow("three characters") << "001"
                                          << ""
                                          << "";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("chinese body") << "0099请注意时间"
                                      << "0099"
                                      << "请注意时间";
        // Two messages in one arrival are one message with the first code.
        QTest::newRow("joined") << "000810|50009五笔"
                                << "0008"
                                << "10|50009五笔";
    }
    void codeAndBody()
    {
        QFETCH(QString, message);
        QTEST(protocol::code(message), "code");
        QTEST(protocol::body(message), "body");
    }

    void replies()
    {
        QCOMPARE(protocol::startRequest(), QStringLiteral("1009"));
        QCOMPARE(protocol::textLoaded(), QStringLiteral("1011"));
        QCOMPARE(protocol::inputMethodsDone(), QStringLiteral("1008"));
        QCOMPARE(protocol::timingDone(), QStringLiteral("1010"));
        QCOMPARE(protocol::duplicateAnswered(), QStringLiteral("1100"));
    }

    void reports_data()
    {
        QTest::addColumn<Report>("report");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("end");
        QTest::newRow("worked example")
            << liMing() << "1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|的是"
            << "1098|31|李明|三班|65|300|120|118|3";
        Report clean = liMing();
        clean.errChars.clear();
        QTest::newRow("nothing mistyped ends with a separator")
            << clean << "1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|"
            << "1098|31|李明|三班|65|300|120|118|3";
        Report empty;
        QTest::newRow("all empty") << empty << "1099||||0|0|0|0|0|||"
                                   << "1098||||0|0|0|0|0";
        Report negative = liMing();
        negative.totalTime = -32768;
        negative.inputMethod.clear();
        QTest::newRow("negative counter, no input method")
            << negative << "1099|31|李明|三班|-32768|300|120|118|3||PC07|的是"
            << "1098|31|李明|三班|-32768|300|120|118|3";
    }
    void reports()
    {
        QFETCH(Report, report);
        QTEST(protocol::progressReport(report), "progress");
        QTEST(protocol::endReport(report), "end");
    }

    void parseTestText_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        const int plain = int(TextKind::Plain);
        const int words = int(TextKind::Words);
        const int roots = int(TextKind::RootPractice);
        QTest::newRow("empty text") << "" << plain << "";
        QTest::newRow("plain") << "春眠不觉晓" << plain << "春眠不觉晓";
        QTest::newRow("words") << "<cz>中国 人民" << words << "中国 人民";
        QTest::newRow("words prefix alone") << "<cz>" << words << "";
        QTest::newRow("root practice keeps the prefix") << "<zg>1|2" << roots << "<zg>1|2";
        QTest::newRow("root prefix alone") << "<zg>" << roots << "<zg>";
        QTest::newRow("upper case is text") << "<CZ>中国" << plain << "<CZ>中国";
        QTest::newRow("upper case root is text") << "<ZG>中国" << plain << "<ZG>中国";
        QTest::newRow("blank before prefix") << " <cz>中国" << plain << " <cz>中国";
        QTest::newRow("prefix later in the text") << "中国<cz>" << plain << "中国<cz>";
        QTest::newRow("full-width brackets") << "＜cz＞中国" << plain << "＜cz＞中国";
        QTest::newRow("no closing bracket") << "<cz中国" << plain << "<cz中国";
        QTest::newRow("only the first prefix counts") << "<cz><zg>x" << words << "<zg>x";
        QTest::newRow("root then words") << "<zg><cz>x" << roots << "<zg><cz>x";
    }
    void parseTestText()
    {
        QFETCH(QString, body);
        const protocol::TestText parsed = protocol::parseTestText(body);
        QTEST(int(parsed.kind), "kind");
        QTEST(parsed.text, "text");
    }

    void parseEnvironment_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("roots");
        QTest::addColumn<bool>("hints");
        QTest::addColumn<bool>("hasList");
        QTest::addColumn<QString>("list");
        QTest::newRow("worked example")
            << "010010记事本|计算器" << true << false << true << "记事本|计算器";
        QTest::newRow("two flags, no hints flag") << "01001" << true << false << false << "";
        QTest::newRow("exactly six characters") << "010011" << true << true << false << "";
        QTest::newRow("both off") << "010000" << false << false << false << "";
        QTest::newRow("code only") << "0100" << true << false << false << "";
        QTest::newRow("roots off, hints absent") << "01000" << false << false << false << "";
        QTest::newRow("any character but 0 allows") << "0100ab" << true << true << false << "";
        QTest::newRow("blank flags allow") << "0100  " << true << true << false << "";
        QTest::newRow("seventh character starts the list")
            << "0100110" << true << true << true << "0";
        QTest::newRow("list of a separator") << "010001|" << false << true << true << "|";
        QTest::newRow("list kept verbatim")
            << "010011 记事本 | Calc" << true << true << true << " 记事本 | Calc";
    }
    void parseEnvironment()
    {
        QFETCH(QString, message);
        QFETCH(bool, hasList);
        const protocol::Environment environment = protocol::parseEnvironment(message);
        QTEST(environment.rootsAllowed, "roots");
        QTEST(environment.hintsAllowed, "hints");
        QCOMPARE(environment.forbiddenList.has_value(), hasList);
        if (hasList)
            QTEST(*environment.forbiddenList, "list");
    }

    void isDuplicateLogin_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("1") << "00111" << true;
        QTest::newRow("0") << "00110" << false;
        QTest::newRow("absent flag warns") << "0011" << true;
        QTest::newRow("later characters ignored") << "00110111" << false;
        QTest::newRow("other character") << "0011x" << true;
        QTest::newRow("blank") << "0011 " << true;
        QTest::newRow("full-width zero is not 0") << "0011０" << true;
    }
    void isDuplicateLogin()
    {
        QFETCH(QString, message);
        QTEST(protocol::isDuplicateLogin(message), "duplicate");
    }

    void isUnrestricted_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("unrestricted");
        QTest::newRow("exact") << "不限制" << true;
        QTest::newRow("blanks around") << "  不限制 " << true;
        QTest::newRow("keyword") << "五笔" << false;
        QTest::newRow("blank and keyword") << " 五笔" << false;
        QTest::newRow("longer") << "不限制五笔" << false;
        QTest::newRow("blank inside") << "不 限制" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("tab is not a blank") << "\t不限制" << false;
        QTest::newRow("full-width space is not a blank") << "　不限制" << false;
    }
    void isUnrestricted()
    {
        QFETCH(QString, rule);
        QTEST(protocol::isUnrestricted(rule), "unrestricted");
    }

    void serverMessages_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        QTest::newRow("timing") << protocol::timingMessage(10, 5) << "000810|5";
        QTest::newRow("no time limit") << protocol::timingMessage(0, 3) << "00080|3";
        QTest::newRow("words") << protocol::textMessage({TextKind::Words, "中国 人民"})
                               << "0010<cz>中国 人民";
        QTest::newRow("plain") << protocol::textMessage({TextKind::Plain, "中国"}) << "0010中国";
        QTest::newRow("empty text") << protocol::textMessage({}) << "0010";
        QTest::newRow("root practice")
            << protocol::textMessage({TextKind::RootPractice, "<zg>abc"}) << "0010<zg>abc";
        QTest::newRow("environment with list")
            << protocol::environmentMessage({true, false, QStringLiteral("记事本|计算器")})
            << "010010记事本|计算器";
        QTest::newRow("environment without list")
            << protocol::environmentMessage({false, true, std::nullopt}) << "010001";
        QTest::newRow("input methods") << protocol::inputMethodsMessage(" 五笔") << "0009 五笔";
        QTest::newRow("teacher") << protocol::teacherMessage("请注意时间") << "0099请注意时间";
        QTest::newRow("duplicate") << protocol::duplicateLoginNotice(true) << "00111";
        QTest::newRow("no duplicate") << protocol::duplicateLoginNotice(false) << "00110";
    }
    void serverMessages()
    {
        QFETCH(QString, built);
        QTEST(built, "expected");
    }

    // What the server builds, the client's readers read back.
    void serverMessagesReadBack()
    {
        const QString words = protocol::textMessage({TextKind::Words, "中国 人民"});
        QCOMPARE(protocol::parseTestText(protocol::body(words)).kind, TextKind::Words);
        QCOMPARE(protocol::parseTestText(protocol::body(words)).text, QStringLiteral("中国 人民"));
        for (bool roots : {false, true}) {
            for (bool hints : {false, true}) {
                const protocol::Environment sent{roots, hints, QStringLiteral("记事本")};
                const protocol::Environment read =
                    protocol::parseEnvironment(protocol::environmentMessage(sent));
                QCOMPARE(read.rootsAllowed, roots);
                QCOMPARE(read.hintsAllowed, hints);
                QCOMPARE(read.forbiddenList, sent.forbiddenList);
            }
        }
        QVERIFY(protocol::isDuplicateLogin(protocol::duplicateLoginNotice(true)));
        QVERIFY(!protocol::isDuplicateLogin(protocol::duplicateLoginNotice(false)));
    }

    void parseReports_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("progress"); // which reader to use
        QTest::addColumn<bool>("valid");
        QTest::newRow("progress") << "1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|的是"
                                  << true << true;
        QTest::newRow("end") << "1098|31|李明|三班|65|300|120|118|3" << false << true;
        QTest::newRow("progress, empty fields") << "1099||||0|0|0|0|0|||" << true << true;
        QTest::newRow("lowest counter") << "1098|1|a|b|-32768|0|0|0|0" << false << true;
        QTest::newRow("counter too large") << "1098|1|a|b|32768|0|0|0|0" << false << false;
        QTest::newRow("counter with plus") << "1098|1|a|b|+5|0|0|0|0" << false << false;
        QTest::newRow("counter with blank") << "1098|1|a|b| 5|0|0|0|0" << false << false;
        QTest::newRow("empty counter") << "1098|1|a|b||0|0|0|0" << false << false;
        QTest::newRow("lone minus") << "1098|1|a|b|-|0|0|0|0" << false << false;
        QTest::newRow("letters") << "1098|1|a|b|1x|0|0|0|0" << false << false;
        QTest::newRow("too few fields") << "1098|1|a|b|5|0|0|0" << false << false;
        QTest::newRow("separator inside a name") << "1098|1|a|x|b|5|0|0|0|0" << false << false;
        QTest::newRow("end read as progress")
            << "1098|31|李明|三班|65|300|120|118|3" << true << false;
        QTest::newRow("progress read as end")
            << "1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|" << false << false;
        QTest::newRow("wrong code, right shape")
            << "1097|31|李明|三班|65|300|120|118|3" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void parseReports()
    {
        QFETCH(QString, message);
        QFETCH(bool, progress);
        QFETCH(bool, valid);
        const std::optional<Report> report =
            progress ? protocol::parseProgressReport(message) : protocol::parseEndReport(message);
        QCOMPARE(report.has_value(), valid);
        if (valid) {
            // Reading and writing again gives back the very message.
            QCOMPARE(progress ? protocol::progressReport(*report) : protocol::endReport(*report),
                     message);
        }
    }

    void parseReportFields()
    {
        const std::optional<Report> report = protocol::parseProgressReport(
            QStringLiteral("1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|的是"));
        QVERIFY(report);
        const Report expected = liMing();
        QCOMPARE(report->xuehao, expected.xuehao);
        QCOMPARE(report->name, expected.name);
        QCOMPARE(report->banji, expected.banji);
        QCOMPARE(report->totalTime, 65);
        QCOMPARE(report->txtCount, 300);
        QCOMPARE(report->inputCount, 120);
        QCOMPARE(report->right, 118);
        QCOMPARE(report->backspaces, 3);
        QCOMPARE(report->inputMethod, expected.inputMethod);
        QCOMPARE(report->computer, expected.computer);
        QCOMPARE(report->errChars, expected.errChars);
    }

    // -1 stands for a field the parse leaves unread.
    void timingBody_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("maxTime");
        QTest::addColumn<int>("hintDelay");
        QTest::addColumn<bool>("error");
        QTest::newRow("limit and delay") << "10|5" << 10 << 6 << false;
        QTest::newRow("both empty") << "|" << 0 << 8 << false;
        QTest::newRow("blanks and exponent") << " 1e1 | 2 " << 10 << 3 << false;
        QTest::newRow("not numeric") << "abc|x" << 0 << 8 << false;
        QTest::newRow("halves to even") << "2.5|3.5" << 2 << 5 << false;
        QTest::newRow("negative delay") << "5|-1" << 5 << 0 << false;
        QTest::newRow("extra fields") << "3|2|9" << 3 << 3 << false;
        QTest::newRow("no delay field") << "7" << 7 << -1 << true;
        QTest::newRow("empty body") << "" << 0 << -1 << true;
        QTest::newRow("limit overflows") << "40000|5" << -1 << -1 << true;
        QTest::newRow("limit underflows") << "-32769|5" << -1 << -1 << true;
        QTest::newRow("delay overflows") << "5|40000" << 5 << -1 << true;
        QTest::newRow("delay plus one overflows") << "5|32767" << 5 << -1 << true;
        QTest::newRow("largest delay") << "5|32766" << 5 << 32767 << false;
    }
    void timingBody()
    {
        QFETCH(QString, body);
        QFETCH(int, maxTime);
        QFETCH(int, hintDelay);
        QFETCH(bool, error);
        const protocol::Timing timing = protocol::parseTiming(body);
        QCOMPARE(timing.maxTime.value_or(-1), maxTime);
        QCOMPARE(timing.hintDelay.value_or(-1), hintDelay);
        QCOMPARE(!timing.error.isEmpty(), error);
    }
};

CLIENT_TEST(ProtocolTest)
#include "tst_protocol.moc"
