#include "TestRegistry.h"

#include "ClassConsole.h"
#include "ClassSummary.h"
#include "ResultsCsv.h"
#include "TeacherWindow.h"
#include "TestServer.h"
#include "TestSetup.h"
#include "core/Gbk.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

protocol::Report makeReport(const QString &number, int time, int count, int typed, int right,
                            const QString &errors = {}, const QString &computer = {})
{
    protocol::Report report;
    report.xuehao = number;
    report.name = QStringLiteral("学生") + number;
    report.banji = QStringLiteral("三班");
    report.totalTime = time;
    report.txtCount = count;
    report.inputCount = typed;
    report.right = right;
    report.backspaces = 1;
    report.inputMethod = QStringLiteral("英语（美国）");
    report.computer = computer.isEmpty() ? QStringLiteral("PC") + number : computer;
    report.errChars = errors;
    return report;
}

StudentRow rowWith(const protocol::Report &live, bool finished = false)
{
    StudentRow row;
    row.xuehao = live.xuehao;
    row.name = live.name;
    row.banji = live.banji;
    row.computer = live.computer;
    row.inputMethod = live.inputMethod;
    row.live = live;
    if (finished)
        row.final = live;
    return row;
}

// A student's computer as the server sees it: answers the settings and the text as the client
// does and sends the client's reports, built by the client's own protocol functions, over TCP.
class SimulatedStudent : public QObject
{
public:
    SimulatedStudent(quint16 port, const QString &number, const QString &computer)
        : number(number)
        , computer(computer)
    {
        connect(&socket, &QTcpSocket::readyRead, this, &SimulatedStudent::read);
        socket.connectToHost(QHostAddress::LocalHost, port);
        // The kernel completes the connection; the server accepts it when its loop runs.
        if (!socket.waitForConnected(5000))
            qWarning("student %s could not connect", qPrintable(number));
    }

    void send(const QString &message)
    {
        socket.write(gbk::encode(message).bytes);
        socket.flush();
    }
    protocol::Report progress(int time, int typed, int right, const QString &errors = {}) const
    {
        protocol::Report report =
            makeReport(number, time, textLength, typed, right, errors, computer);
        report.name = QStringLiteral("学生") + number;
        return report;
    }
    void sendProgress(const protocol::Report &report)
    {
        lastProgress = report;
        send(protocol::progressReport(report));
    }
    void sendEnd(const protocol::Report &report)
    {
        lastEnd = report;
        send(protocol::endReport(report));
    }

    QTcpSocket socket;
    QString number;
    QString computer;
    QString received;
    int textLength = 0;
    bool gotText = false;
    int duplicateNotices = 0;
    QStringList messages;
    protocol::Report lastProgress;
    protocol::Report lastEnd;

private:
    void read()
    {
        const QString text = decoder.decode(socket.readAll());
        received += text;
        // The server writes one message at a time, with a pause after each: a read is one
        // message.
        const QString code = text.left(4);
        if (code == u"0009") {
            send(protocol::inputMethodsDone());
        } else if (code == u"0008") {
            send(protocol::timingDone());
        } else if (code == u"0010") {
            textLength = int(protocol::parseTestText(text.mid(4)).text.size());
            gotText = true;
            send(protocol::textLoaded());
        } else if (code == u"0011") {
            if (!protocol::isDuplicateLogin(text))
                return;
            ++duplicateNotices;
            send(protocol::duplicateAnswered());
        } else if (code == u"0099") {
            messages << text.mid(4);
        }
    }
    gbk::StreamDecoder decoder;
};

struct Class
{
    Class()
        : console(server)
    {
        ServerSettings &settings = server.settings();
        settings.messageGapMs = 10;
        settings.environmentPauseMs = 20;
        settings.replyTimeoutMs = 3000;
        TestSetup setup;
        setup.text = QStringLiteral("春眠不觉晓处处闻啼鸟");
        setup.timeLimit = 5;
        if (!console.applySetup(setup).ok() || !server.listen(0).ok())
            qFatal("cannot set up the class");
        console.setResultsFolder(results.path());
    }
    std::unique_ptr<SimulatedStudent> join(const QString &number, const QString &computer = {})
    {
        return std::make_unique<SimulatedStudent>(
            server.port(), number, computer.isEmpty() ? QStringLiteral("PC") + number : computer);
    }
    int rowOf(const QString &number) const
    {
        const QList<int> rows = console.rowsOfNumbers({number});
        return rows.size() == 1 ? rows.first() : -1;
    }

    QTemporaryDir results;
    TestServer server;
    ClassConsole console;
};

// The data lines of a results file, split into fields (the tests' names hold no separator).
QList<QStringList> csvLines(const QString &path, QByteArray *raw = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (raw)
        *raw = bytes;
    QList<QStringList> lines;
    const QStringList all = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    for (qsizetype i = 1; i < all.size(); ++i)
        if (!all.at(i).isEmpty())
            lines << all.at(i).split(u',');
    return lines;
}

} // namespace

class ClassSummaryTest : public QObject
{
    Q_OBJECT
private slots:
    void figures_data()
    {
        // Speeds come from right characters and seconds: right * 60 / time.
        QTest::addColumn<QList<int>>("rights"); // per student, 60 seconds, 100 typed
        QTest::addColumn<QString>("text");
        QTest::newRow("nobody") << QList<int>{}
                                << "0人，已结束0人 | 速度 平均- 中位- 字/分 | 正确率 平均- 中位- | "
                                   "常错字：-";
        QTest::newRow("odd count: middle value")
            << QList<int>{10, 90, 50}
            << "3人，已结束0人 | 速度 平均50.0 中位50.0 字/分 | 正确率 平均50 中位50 | 常错字：-";
        QTest::newRow("even count: mean of the two middle values")
            << QList<int>{10, 20, 30, 100}
            << "4人，已结束0人 | 速度 平均40.0 中位25.0 字/分 | 正确率 平均40 中位25 | 常错字：-";
    }
    void figures()
    {
        QFETCH(QList<int>, rights);
        QList<StudentRow> rows;
        for (int i = 0; i < rights.size(); ++i)
            rows << rowWith(makeReport(QString::number(i + 1), 60, 200, 100, rights.at(i)));
        // Rows without identity or figures do not count.
        rows << StudentRow{};
        QTEST(ClassSummary::of(rows).text(), "text");
    }

    void mostMistypedCountsStudents()
    {
        QList<StudentRow> rows = {rowWith(makeReport("1", 10, 9, 9, 5, "的是人")),
                                  rowWith(makeReport("2", 10, 9, 9, 5, "是的")),
                                  rowWith(makeReport("3", 10, 9, 9, 5, "是\U00020000")),
                                  rowWith(makeReport("4", 10, 9, 9, 9), true)};
        const ClassSummary summary = ClassSummary::of(rows, 3);
        QCOMPARE(summary.students, 4);
        QCOMPARE(summary.finished, 1);
        QCOMPARE(summary.mostMistyped.size(), 3);
        QCOMPARE(summary.mostMistyped.at(0), (QPair<QString, int>{"是", 3}));
        QCOMPARE(summary.mostMistyped.at(1), (QPair<QString, int>{"的", 2}));
        // Ties keep the order of first appearance; a character outside the basic plane is one.
        QCOMPARE(summary.mostMistyped.at(2), (QPair<QString, int>{"人", 1}));
        QCOMPARE(ClassSummary::of(rows, 10).mostMistyped.last(),
                 (QPair<QString, int>{QStringLiteral("\U00020000"), 1}));
    }

    void histogram()
    {
        const QList<double> speeds = {0, 9.99, 10, 25, 1000, -3, qQNaN()};
        QCOMPARE(ClassSummary::histogram(speeds, 10, 4), (QList<int>{2, 1, 1, 1}));
        QCOMPARE(ClassSummary::histogram(speeds, 0, 3), (QList<int>{0, 0, 0}));
    }
};

class ResultsCsvTest : public QObject
{
    Q_OBJECT
private slots:
    void field_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "李明"
                               << "李明";
        QTest::newRow("separator") << "a,b"
                                   << "\"a,b\"";
        QTest::newRow("quote") << "a\"b"
                               << "\"a\"\"b\"";
        QTest::newRow("line break") << "a\nb"
                                    << "\"a\nb\"";
        QTest::newRow("formula") << "=HYPERLINK(\"x\")"
                                 << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("at sign") << "@SUM(A1)"
                                 << "\"'@SUM(A1)\"";
        QTest::newRow("negative number stays a number") << "-5"
                                                        << "-5";
        QTest::newRow("empty") << ""
                               << "";
    }
    void field()
    {
        QFETCH(QString, text);
        QTEST(resultscsv::field(text), "field");
    }

    void fileHasMarkHeaderAndOneLinePerStudent()
    {
        QList<StudentRow> rows = {rowWith(makeReport("31", 65, 300, 120, 118, "的是"), false),
                                  rowWith(makeReport("32", 60, 300, 300, 300), true), StudentRow{}};
        rows[1].final->backspaces = 7;
        const QByteArray bytes = resultscsv::build(rows);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 4); // header, two students, the empty rest after the last CRLF
        QVERIFY(lines.at(0).startsWith(QStringLiteral("学号,姓名,班级")));
        QCOMPARE(lines.at(1), QStringLiteral("31,学生31,三班,PC31,英语（美国）,已连接,65,300,120,"
                                             "118,1,108.9,98,的是,否"));
        QCOMPARE(lines.at(2), QStringLiteral("32,学生32,三班,PC32,英语（美国）,已连接,60,300,300,"
                                             "300,7,300.0,100,,是"));
        QCOMPARE(lines.at(3), QString());
    }

    void unwritablePathIsNamed()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = dir.filePath("file/sub/results.csv");
        const Status status = resultscsv::write(path, {});
        QVERIFY(!status.ok());
        QVERIFY2(status.error.contains(dir.filePath("file/sub")), qPrintable(status.error));
        QVERIFY(!QFile::exists(path));
    }
};

class TestSetupTest : public QObject
{
    Q_OBJECT
private slots:
    void messages_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("textMessage");
        QTest::newRow("plain, line breaks dropped")
            << int(TestSetup::Kind::Plain) << "春眠\r\n不觉晓"
            << "0010春眠不觉晓";
        QTest::newRow("words joined by one blank")
            << int(TestSetup::Kind::Words) << " 中国\n人民  学习 "
            << "0010<cz>中国 人民 学习";
        QTest::newRow("root practice") << int(TestSetup::Kind::RootPractice) << "ignored"
                                       << "0010<zg>2/30";
    }
    void messages()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        TestSetup setup;
        setup.kind = TestSetup::Kind(kind);
        setup.text = text;
        setup.rootZone = 2;
        setup.rootCount = 30;
        setup.timeLimit = 10;
        setup.hintDelay = 3;
        setup.inputMethodRule = QStringLiteral("五笔");
        setup.rootsAllowed = false;
        setup.forbidden = QStringLiteral("记事本|计算器");
        TestScript script;
        QVERIFY(setup.applyTo(script).ok());
        QTEST(script.textMessage().value_or(QString()), "textMessage");
        QCOMPARE(script.environmentMessage(), QStringLiteral("010001记事本|计算器"));
        QCOMPARE(script.inputMethodsMessage(), QStringLiteral("0009五笔"));
        QCOMPARE(script.timingMessage(), QStringLiteral("000810|3"));
        const TestSetup back = TestSetup::from(script);
        QCOMPARE(back.body(), setup.body());
        QCOMPARE(back.forbidden, setup.forbidden);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<QString>("rule");
        QTest::newRow("empty text") << "\r\n" << 0 << 0 << "不限制";
        QTest::newRow("blanks only") << " \u3000 " << 0 << 0 << "不限制";
        QTest::newRow("text over the limit") << QString(32768, u'字') << 0 << 0 << "不限制";
        QTest::newRow("unencodable") << QStringLiteral("笑\U0001F600") << 0 << 0 << "不限制";
        QTest::newRow("root zone") << "<zg>" << 6 << 0 << "不限制";
        QTest::newRow("time limit") << "字" << 0 << 40000 << "不限制";
        QTest::newRow("empty rule") << "字" << 0 << 0 << "";
    }
    void refused()
    {
        QFETCH(QString, text);
        QFETCH(int, zone);
        QFETCH(int, timeLimit);
        QFETCH(QString, rule);
        TestSetup setup;
        setup.kind = text == u"<zg>" ? TestSetup::Kind::RootPractice : TestSetup::Kind::Plain;
        setup.text = text;
        setup.rootZone = zone;
        setup.timeLimit = timeLimit;
        setup.inputMethodRule = rule;
        TestScript script;
        QVERIFY(script.apply(QStringLiteral("text 原来的"), QDir()).ok());
        const Status status = setup.applyTo(script);
        QVERIFY(!status.ok());
        QVERIFY(!status.error.isEmpty());
        QCOMPARE(script.textMessage(), QStringLiteral("0010原来的"));
    }
    void exactlyTheLimitIsTaken()
    {
        TestSetup setup;
        setup.text = QString(TestSetup::kMaxTextLength, u'字');
        TestScript script;
        QVERIFY(setup.applyTo(script).ok());
    }

    void textFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("text");
        const QByteArray gbkBytes = gbk::encode(QStringLiteral("中国\r\n人民")).bytes;
        QTest::newRow("GBK found") << gbkBytes << int(TestSetup::FileEncoding::Auto) << "中国人民";
        QTest::newRow("UTF-8 found") << QStringLiteral("中国\n人民").toUtf8()
                                     << int(TestSetup::FileEncoding::Auto) << "中国人民";
        QTest::newRow("mark dropped") << QByteArray("\xEF\xBB\xBF") + QStringLiteral("中").toUtf8()
                                      << int(TestSetup::FileEncoding::Auto) << "中";
        QTest::newRow("GBK as asked")
            << gbkBytes << int(TestSetup::FileEncoding::Gbk) << "中国人民";
    }
    void textFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QTemporaryDir dir;
        QFile file(dir.filePath("t.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString text;
        QVERIFY(TestSetup::readTextFile(file.fileName(), TestSetup::FileEncoding(encoding),
                                        TestSetup::Kind::Plain, text)
                    .ok());
        QTEST(text, "text");
        QVERIFY(!TestSetup::readTextFile(dir.filePath("missing.txt"), TestSetup::FileEncoding::Auto,
                                         TestSetup::Kind::Plain, text)
                     .ok());
    }
};

class ClassConsoleTest : public QObject
{
    Q_OBJECT
private slots:
    // A class of 30 typing at once: each row shows what its student sent last, the results
    // file holds each end report exactly once.
    void thirtyStudentsTypingAtOnce()
    {
        Class room;
        constexpr int kStudents = 30;
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        for (int i = 0; i < kStudents; ++i)
            students.push_back(room.join(QString::number(100 + i)));
        QTRY_COMPARE_WITH_TIMEOUT(room.console.roster().size(), kStudents, 10000);
        QVERIFY(room.console.startTest(QStringLiteral("三班 期中")).ok());
        QCOMPARE(room.console.testName(), QStringLiteral("三班_期中"));
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(students.cbegin(), students.cend(),
                                             [](const auto &s) { return s->gotText; }),
                                 10000);
        for (int second = 1; second <= 5; ++second) {
            for (int i = 0; i < kStudents; ++i) {
                const int typed = std::min(10, second * (1 + i % 3));
                students[i]->sendProgress(students[i]->progress(
                    second, typed, typed - (i % 2), i % 2 ? QStringLiteral("晓") : QString()));
            }
            QTest::qWait(20);
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(students.cbegin(), students.cend(),
                        [&room](const auto &s) {
                            const int row = room.rowOf(s->number);
                            return row >= 0 && room.console.roster().at(row).live &&
                                   room.console.roster().at(row).live->totalTime == 5;
                        }),
            10000);
        QCOMPARE(room.console.roster().size(), kStudents);
        for (const auto &student : students) {
            const StudentRow &row = room.console.roster().at(room.rowOf(student->number));
            QCOMPARE(protocol::progressReport(*row.live),
                     protocol::progressReport(student->lastProgress));
            QCOMPARE(row.computer, student->computer);
        }
        for (auto &student : students) {
            protocol::Report end = student->lastProgress;
            end.totalTime = 6;
            student->sendEnd(end);
        }
        QTRY_COMPARE_WITH_TIMEOUT(room.console.summary().finished, kStudents, 10000);
        const QString path = room.console.lastSavedPath();
        QCOMPARE(path, room.console.resultsPath());
        QVERIFY(path.endsWith(QStringLiteral("-三班_期中.csv")));
        const QList<QStringList> lines = csvLines(path);
        QCOMPARE(lines.size(), kStudents);
        QSet<QString> numbers;
        for (const QStringList &line : lines) {
            numbers.insert(line.at(0));
            const auto &student =
                *std::find_if(students.cbegin(), students.cend(),
                              [&line](const auto &s) { return s->number == line.at(0); });
            QCOMPARE(line.at(6), QStringLiteral("6"));
            QCOMPARE(line.at(8), QString::number(student->lastEnd.inputCount));
            QCOMPARE(line.at(9), QString::number(student->lastEnd.right));
            QCOMPARE(line.last(), QStringLiteral("是"));
        }
        QCOMPARE(numbers.size(), kStudents);

        const ClassSummary summary = room.console.summary();
        QCOMPARE(summary.mostMistyped.value(0).first, QStringLiteral("晓"));
        QCOMPARE(summary.mostMistyped.value(0).second, kStudents / 2);
    }

    // Dropping out and coming back keeps one row; the figures go on in it.
    void reconnectKeepsTheRow()
    {
        Class room;
        auto student = room.join(QStringLiteral("31"));
        QTRY_COMPARE(room.console.roster().size(), 1);
        student->textLength = 10;
        student->sendProgress(student->progress(3, 2, 2));
        QTRY_VERIFY(room.console.roster().at(0).live.has_value());
        student->socket.disconnectFromHost();
        QTRY_COMPARE(room.console.roster().at(0).state, StudentRow::State::Gone);

        auto again = room.join(QStringLiteral("31"));
        QTRY_COMPARE(room.console.roster().size(), 2); // a new connection, not known yet
        again->textLength = 10;
        again->sendProgress(again->progress(5, 4, 3, QStringLiteral("鸟")));
        QTRY_COMPARE(room.console.roster().size(), 1);
        const StudentRow &row = room.console.roster().at(0);
        QCOMPARE(row.state, StudentRow::State::Typing);
        QVERIFY(row.connection > 0);
        QCOMPARE(row.live->totalTime, 5);
        QCOMPARE(room.console.roster().rowOfConnection(row.connection), 0);
        QCOMPARE(again->duplicateNotices, 0);
        QVERIFY(room.console.log().last().contains(QStringLiteral("重新连接")));
        // The end report, which has no computer name, lands in the same row.
        again->sendEnd(again->progress(6, 4, 3));
        QTRY_VERIFY(room.console.roster().at(0).final.has_value());
        QCOMPARE(room.console.roster().size(), 1);
    }

    // A second computer claiming a connected number is warned with "0011"; the first is not.
    void secondLoginIsWarned()
    {
        Class room;
        auto first = room.join(QStringLiteral("7"), QStringLiteral("PC01"));
        first->sendProgress(first->progress(1, 0, 0));
        QTRY_COMPARE(room.console.roster().size(), 1);
        QTRY_VERIFY2(room.console.roster().at(0).identified(),
                     qPrintable(room.console.log().join("\n")));
        auto second = room.join(QStringLiteral("7"), QStringLiteral("PC02"));
        second->sendProgress(second->progress(1, 0, 0));
        QTRY_COMPARE(second->duplicateNotices, 1);
        // Once per connection, not with every report.
        second->sendProgress(second->progress(2, 0, 0));
        QTest::qWait(200);
        QCOMPARE(second->duplicateNotices, 1);
        QCOMPARE(first->duplicateNotices, 0);
        QCOMPARE(room.console.roster().size(), 2);
        const int secondRow = room.console.roster().rowOfConnection(2);
        QVERIFY(room.console.roster().at(secondRow).duplicate);
        QVERIFY(!room.console.roster().at(room.console.roster().rowOfConnection(1)).duplicate);
    }

    // Garbage, reports with wrong fields or figures that do not add up, and a flood: logged
    // against the row, counted, ignored; the next good report still counts.
    void badInputIsLoggedAndIgnored()
    {
        Class room;
        auto student = room.join(QStringLiteral("9"));
        QTRY_COMPARE(room.console.roster().size(), 1);
        student->send(QStringLiteral("1099|9|名|班|1|10|5|5|0|ime|PC9")); // 11 fields
        student->send(QStringLiteral("xyz"));
        QTRY_VERIFY(room.console.roster().at(0).problems >= 1);
        protocol::Report impossible = student->progress(2, 3, 5);
        student->send(protocol::progressReport(impossible));
        QTRY_VERIFY(room.console.roster().at(0).lastProblem.contains(QStringLiteral("正确字数")));
        QVERIFY(!room.console.roster().at(0).live.has_value());

        const qsizetype logBefore = room.console.log().size();
        // A flood: garbage between reports, and reports whose figures cannot be.
        QByteArray flood;
        for (int i = 0; i < 300; ++i) {
            flood += "junk!";
            flood += gbk::encode(protocol::progressReport(impossible)).bytes;
        }
        student->socket.write(flood);
        student->socket.flush();
        student->textLength = 10;
        student->sendProgress(student->progress(3, 2, 2));
        QTRY_VERIFY_WITH_TIMEOUT(room.console.roster().at(0).live.has_value(), 10000);
        QCOMPARE(room.console.roster().at(0).live->totalTime, 3);
        const int problems = room.console.roster().at(0).problems;
        QVERIFY2(problems > 300, qPrintable(QString::number(problems)));
        // A few lines a second, not one per message.
        QVERIFY2(room.console.log().size() - logBefore < 40,
                 qPrintable(QString::number(room.console.log().size() - logBefore)));
    }

    void messagesGoToAllOrToTheSelected()
    {
        Class room;
        auto a = room.join(QStringLiteral("1"));
        auto b = room.join(QStringLiteral("2"));
        auto c = room.join(QStringLiteral("3"));
        for (auto *s : {a.get(), b.get(), c.get()})
            s->sendProgress(s->progress(1, 0, 0));
        QTRY_VERIFY(room.rowOf("1") >= 0 && room.rowOf("2") >= 0 && room.rowOf("3") >= 0);
        int sent = 0;
        QVERIFY(room.console
                    .sendMessage(QStringLiteral("第二题"), room.console.rowsOfNumbers({"2"}), &sent)
                    .ok());
        QCOMPARE(sent, 1);
        QTRY_COMPARE(b->messages, QStringList{QStringLiteral("第二题")});
        QVERIFY(room.console.sendMessage(QStringLiteral("还有一分钟"), {}, &sent).ok());
        QCOMPARE(sent, 3);
        QTRY_VERIFY(a->messages.contains(QStringLiteral("还有一分钟")));
        QTRY_VERIFY(c->messages.contains(QStringLiteral("还有一分钟")));
        QCOMPARE(a->messages.size(), 1);
        QVERIFY(!room.console.sendMessage(QString(), {}).ok());
        QVERIFY(!room.console.sendMessage(QStringLiteral("\U0001F600"), {}).ok());
    }

    // A results file that cannot be written is reported with its path; nothing is claimed
    // saved.
    void unwritableResultsAreReported()
    {
        Class room;
        QFile blocker(room.results.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        room.console.setResultsFolder(room.results.filePath("blocker/results"));
        QSignalSpy failed(&room.console, &ClassConsole::resultsFailed);
        auto student = room.join(QStringLiteral("5"));
        student->textLength = 10;
        student->sendEnd(student->progress(9, 10, 10));
        QTRY_COMPARE(failed.size(), 1);
        QVERIFY(failed.first().first().toString().contains(room.results.filePath("blocker")));
        QVERIFY(room.console.lastSavedPath().isEmpty());
        QVERIFY(!room.console.saveResults().ok());
        // Once the folder can be written, the same results are saved.
        room.console.setResultsFolder(room.results.filePath("good"));
        QVERIFY(room.console.saveResults().ok());
        QCOMPARE(csvLines(room.console.lastSavedPath()).size(), 1);
    }

    // A new test starts from clean figures, drops those who left and keeps the last file.
    void nextTestStartsClean()
    {
        Class room;
        auto stays = room.join(QStringLiteral("1"));
        auto leaves = room.join(QStringLiteral("2"));
        QTRY_COMPARE(room.console.roster().size(), 2);
        QVERIFY(room.console.startTest(QStringLiteral("one")).ok());
        QTRY_VERIFY(stays->gotText && leaves->gotText);
        stays->sendEnd(stays->progress(5, 10, 10));
        leaves->sendEnd(leaves->progress(5, 10, 9));
        QTRY_COMPARE(room.console.summary().finished, 2);
        const QString first = room.console.lastSavedPath();
        leaves->socket.disconnectFromHost();
        QTRY_COMPARE(room.console.roster().at(room.rowOf("2")).state, StudentRow::State::Gone);
        QTest::qWait(1100); // the files are named by the second the test started
        stays->gotText = false;
        QVERIFY(room.console.startTest(QStringLiteral("two")).ok());
        QTRY_VERIFY(stays->gotText);
        QCOMPARE(room.console.roster().size(), 1);
        QVERIFY(!room.console.roster().at(0).figures());
        QCOMPARE(csvLines(first).size(), 2);
        QVERIFY(room.console.endTest().ok());
        QVERIFY(room.console.lastSavedPath() != first);
        QVERIFY(!room.console.testRunning());
    }
};

// The command-line server runs the same console: its commands on standard input do what the
// window's buttons do.
class ConsoleCommandsTest : public QObject
{
    Q_OBJECT
private slots:
    void commandsOfTheCommandLineServer()
    {
        const QString tool = QCoreApplication::applicationDirPath() + "/chengling-testserver";
        if (!QFile::exists(tool))
            QSKIP("chengling-testserver is not built next to the tests");
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        QTemporaryDir results;
        QProcess server;
        server.start(tool, {"--raw", "--quiet", "--port", QString::number(port), "--results",
                            results.path(), "--text", "春眠不觉晓"});
        QVERIFY(server.waitForStarted());
        QString output;
        connect(&server, &QProcess::readyReadStandardOutput, this,
                [&] { output += QString::fromLocal8Bit(server.readAllStandardOutput()); });
        QTRY_VERIFY_WITH_TIMEOUT(output.contains("listening"), 10000);

        SimulatedStudent student(port, "12", "PC12");
        QTRY_VERIFY_WITH_TIMEOUT(output.contains("timing applied"), 10000);
        server.write("/start 期中\n");
        QTRY_VERIFY_WITH_TIMEOUT(student.gotText, 10000);
        QCOMPARE(student.textLength, 5);
        server.write("/message 还有一分钟\n");
        QTRY_COMPARE_WITH_TIMEOUT(student.messages, QStringList{"还有一分钟"}, 10000);
        student.sendProgress(student.progress(30, 4, 3, "觉"));
        student.sendEnd(student.progress(31, 5, 4));
        QTRY_VERIFY_WITH_TIMEOUT(output.contains("*** END ***"), 10000);
        server.write("/summary\n/list\n/end\n");
        QTRY_VERIFY_WITH_TIMEOUT(output.contains("1人，已结束1人"), 10000);
        QVERIFY(output.contains("「觉」1"));
        QTRY_VERIFY_WITH_TIMEOUT(output.contains("12 | 学生12 | 三班 | PC12"), 10000);
        const QStringList files = QDir(results.path()).entryList({"*-期中.csv"});
        QCOMPARE(files.size(), 1);
        const QList<QStringList> lines = csvLines(results.filePath(files.first()));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().at(8), "5");
        QCOMPARE(lines.first().last(), "是");
        server.write("/frobnicate\n");
        QTRY_VERIFY_WITH_TIMEOUT(output.contains("unknown command /frobnicate"), 10000);
        server.kill();
        server.waitForFinished();
    }
};

// The window is thin, but what it shows sorted must still reach the right students.
class TeacherWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void messageGoesToTheSelectedRowOfTheSortedTable()
    {
        Class room;
        TeacherWindow window(room.console);
        window.show();
        std::vector<std::unique_ptr<SimulatedStudent>> students;
        const int rights[] = {10, 40, 25}; // student 2 is the fastest
        for (int i = 0; i < 3; ++i) {
            students.push_back(room.join(QString::number(i + 1)));
            students.back()->textLength = 100;
            students.back()->sendProgress(students.back()->progress(60, 50, rights[i]));
        }
        QTRY_VERIFY(room.rowOf("1") >= 0 && room.rowOf("2") >= 0 && room.rowOf("3") >= 0);
        QTRY_VERIFY(room.console.roster().at(room.rowOf("3")).live.has_value());
        QTableView *table = window.table();
        table->sortByColumn(ClassRoster::Speed, Qt::DescendingOrder);
        QTRY_COMPARE(table->model()->index(0, ClassRoster::Number).data().toString(), "2");
        QCOMPARE(table->model()->index(2, ClassRoster::Number).data().toString(), "1");

        table->selectRow(0);
        QLineEdit *message = nullptr;
        for (QLineEdit *edit : window.findChildren<QLineEdit *>())
            if (edit->placeholderText() == u"给学生的消息")
                message = edit;
        QVERIFY(message);
        message->setText("请注意时间");
        QPushButton *toSelected = nullptr;
        for (QPushButton *button : window.findChildren<QPushButton *>())
            if (button->text() == u"发给选中的学生")
                toSelected = button;
        QVERIFY(toSelected);
        toSelected->click();
        QTRY_COMPARE(students[1]->messages, QStringList{"请注意时间"});
        QTest::qWait(200);
        QVERIFY(students[0]->messages.isEmpty());
        QVERIFY(students[2]->messages.isEmpty());
    }

    void setupFieldsReachTheServer()
    {
        Class room;
        TeacherWindow window(room.console);
        QPlainTextEdit *text = nullptr;
        for (QPlainTextEdit *edit : window.findChildren<QPlainTextEdit *>())
            if (!edit->isReadOnly())
                text = edit;
        QVERIFY(text);
        QComboBox *kind = nullptr;
        for (QComboBox *box : window.findChildren<QComboBox *>())
            if (box->findText("词组文本 <cz>") >= 0)
                kind = box;
        QVERIFY(kind);
        kind->setCurrentIndex(int(TestSetup::Kind::Words));
        text->setPlainText("中国\n人民");
        QVERIFY(window.applySetup());
        QCOMPARE(room.server.settings().script.textMessage().value_or(QString()),
                 QStringLiteral("0010<cz>中国 人民"));
        // A setup that makes no test is refused and leaves the server's test alone.
        text->setPlainText("  ");
        kind->setCurrentIndex(int(TestSetup::Kind::Plain));
        QVERIFY(!window.applySetup());
        QVERIFY(window.statusBar()->currentMessage().contains("设置有误"));
        QCOMPARE(room.server.settings().script.textMessage().value_or(QString()),
                 QStringLiteral("0010<cz>中国 人民"));
    }
};

CLIENT_TEST(ClassSummaryTest)
CLIENT_TEST(ResultsCsvTest)
CLIENT_TEST(TestSetupTest)
CLIENT_TEST(ClassConsoleTest)
CLIENT_TEST(ConsoleCommandsTest)
CLIENT_TEST(TeacherWindowTest)
#include "tst_teacher.moc"
