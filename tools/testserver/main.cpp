// chengling-testserver: a small test server for trying the client without the teacher's server.
// See README.md for the options and the script format.

#include "ClassConsole.h"
#include "ConsoleFormat.h"
#include "QuitSignals.h"
#include "TestServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QTextStream>
#include <QTime>

#include <iostream>
#include <string>
#include <thread>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

void print(int id, const QString &text)
{
    out() << QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) << ' ';
    if (id > 0)
        out() << '#' << id << ' ';
    out() << text << Qt::endl;
}

QString describeReply(const QString &code)
{
    if (code == u"1009")
        return QStringLiteral("start pressed");
    if (code == u"1011")
        return QStringLiteral("text loaded");
    if (code == u"1008")
        return QStringLiteral("input methods applied");
    if (code == u"1010")
        return QStringLiteral("timing applied");
    if (code == u"1100")
        return QStringLiteral("duplicate-login notice handled");
    return {};
}

// The setting options, in the order they are applied after the script.
const QStringList &settingKeywords()
{
    static const QStringList keywords = {
        QStringLiteral("file-encoding"), QStringLiteral("roots"),      QStringLiteral("hints"),
        QStringLiteral("forbid"),        QStringLiteral("ime"),        QStringLiteral("time-limit"),
        QStringLiteral("hint-delay"),    QStringLiteral("text"),       QStringLiteral("text-file"),
        QStringLiteral("words"),         QStringLiteral("words-file"), QStringLiteral("message")};
    return keywords;
}

// "@3 0099..." goes to client 3 only; any other line goes to every client.
void sendRawLine(TestServer &server, const QString &line)
{
    static const QRegularExpression target(QStringLiteral("^@(\\d+) (.*)$"));
    const QRegularExpressionMatch match = target.match(line);
    if (!match.hasMatch()) {
        if (server.clientCount() == 0)
            print(0, QStringLiteral("!! no client connected"));
        server.sendToAll(line);
        return;
    }
    const int id = match.captured(1).toInt();
    if (!server.sendTo(id, match.captured(2)))
        print(0, QStringLiteral("!! no client #%1").arg(id));
}

// The class console's commands, the same as the buttons of the teacher's window:
//   /settings              send "0100", "0009", "0008" to everyone again
//   /start [name]          start a test: the changed settings to everyone, the text to those
//                          who press start (and at once to those waiting)
//   /end                   end the test (results written)
//   /message <text>        "0099" to everyone
//   /message-to <n,n> <text>  "0099" to the students of these numbers
//   /save                  write the results file of the running or last test now
//   /summary               the class summary
//   /status                countdown, connections, who has not started
//   /list                  the class list
//   /roster <file>         import a class roster (CSV, UTF-8 or GBK)
//   /keep-first <number>   a duplicate login: keep the row first logged in
//   /keep-second <number>  ... keep the second connection's row instead
//   /merge <number>        ... the two rows are one student: merge them
void runCommand(ClassConsole &console, const QString &line)
{
    const QString command = line.section(u' ', 0, 0);
    const QString argument = line.section(u' ', 1);
    const auto report = [](const Status &status) {
        if (!status.ok())
            print(0, QStringLiteral("!! ") + status.error);
    };
    const auto duplicateRow = [&console](const QString &number) {
        for (int row : console.rowsOfNumbers({number.trimmed()}))
            if (console.roster().at(row).duplicate())
                return row;
        return -1;
    };
    if (command == u"/settings") {
        console.sendSettings();
    } else if (command == u"/start") {
        report(console.startTest(argument));
    } else if (command == u"/end") {
        report(console.endTest());
    } else if (command == u"/message") {
        report(console.sendMessage(argument, {}));
    } else if (command == u"/message-to") {
        const QStringList numbers = argument.section(u' ', 0, 0).split(u',', Qt::SkipEmptyParts);
        const QList<int> rows = console.rowsOfNumbers(numbers);
        if (rows.isEmpty())
            print(0, QStringLiteral("!! no student with these numbers"));
        else
            report(console.sendMessage(argument.section(u' ', 1), rows));
    } else if (command == u"/save") {
        report(console.saveResults());
    } else if (command == u"/summary") {
        print(0, console.summary().text());
    } else if (command == u"/status") {
        print(0, (console.testRunning() ? console.countdownText() : QStringLiteral("no test")) +
                     QStringLiteral(" | ") + console.classLine());
    } else if (command == u"/list") {
        const ClassRoster &roster = console.roster();
        for (int row = 0; row < roster.size(); ++row) {
            QStringList cells;
            for (int column = 0; column < ClassRoster::ColumnCount; ++column)
                cells << ClassRoster::cellText(roster.at(row), column, roster.testRunning());
            print(roster.at(row).connection, cells.join(QStringLiteral(" | ")));
        }
    } else if (command == u"/roster") {
        QStringList skipped;
        report(console.importRoster(argument.trimmed(), &skipped));
        for (const QString &line : std::as_const(skipped))
            print(0, QStringLiteral("!! roster: ") + line);
    } else if (command == u"/keep-first" || command == u"/keep-second" || command == u"/merge") {
        const int row = duplicateRow(argument);
        if (row < 0) {
            print(0, QStringLiteral("!! no duplicate login of number %1").arg(argument.trimmed()));
            return;
        }
        report(console.decideDuplicate(row, command == u"/keep-first"
                                                ? ClassConsole::Decision::KeepFirst
                                                : (command == u"/keep-second"
                                                       ? ClassConsole::Decision::KeepSecond
                                                       : ClassConsole::Decision::Merge)));
    } else {
        print(0, QStringLiteral("!! unknown command %1 (/settings /start /end /message "
                                "/message-to /save /summary /status /list /roster /keep-first "
                                "/keep-second /merge)")
                     .arg(command));
    }
}

// Lines typed on standard input go to every client as they are. A plain thread reads them
// because waiting on a console is not portable through the event loop.
void readRawLines(TestServer &server, ClassConsole &console)
{
    std::thread([&server, &console] {
        std::string line;
        while (std::getline(std::cin, line)) {
            QString message = QString::fromLocal8Bit(line);
            if (message.endsWith(u'\r'))
                message.chop(1);
            if (message.isEmpty())
                continue;
            QMetaObject::invokeMethod(
                &server,
                [&server, &console, message] {
                    if (message.startsWith(u'/'))
                        runCommand(console, message);
                    else
                        sendRawLine(server, message);
                },
                Qt::QueuedConnection);
        }
    }).detach();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("chengling-testserver"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TESTSERVER_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Test server for the Chengling text-entry client. Runs the test of a script file and/or "
        "of the setting options below (options override the script)."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("script"), QStringLiteral("Script file (UTF-8)."),
                                 QStringLiteral("[script]"));
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Port to listen on (default 10000)."),
         QStringLiteral("port"), QStringLiteral("10000")},
        {QStringLiteral("listen-all"),
         QStringLiteral("Listen on every network interface, not only on this computer.")},
        {QStringLiteral("raw"),
         QStringLiteral("Send every line typed on standard input to all clients as it is.")},
        {QStringLiteral("join"),
         QStringLiteral("Send messages of the same moment in one write (settings on connect).")},
        {QStringLiteral("split"),
         QStringLiteral("Send every message in two writes with a pause between them.")},
        {QStringLiteral("split-pause"), QStringLiteral("Pause of --split in ms (default 300)."),
         QStringLiteral("ms"), QStringLiteral("300")},
        {QStringLiteral("reply-timeout"),
         QStringLiteral("How long to wait for 1008/1010 in ms (default 5000)."),
         QStringLiteral("ms"), QStringLiteral("5000")},
        {QStringLiteral("quiet"), QStringLiteral("Do not print the messages sent.")},
        {QStringLiteral("hostile"),
         QStringLiteral("Hostile mode: for this many seconds from the first connection, send "
                        "every client random and broken messages, then run the test normally."),
         QStringLiteral("seconds")},
        {QStringLiteral("results"),
         QStringLiteral("Write each test's results from the store as a CSV file in this folder."),
         QStringLiteral("folder")},
        {QStringLiteral("store"),
         QStringLiteral("Results store (SQLite) to keep every report and result in, and to go on "
                        "with the test it holds running (default: in memory only; \"default\" "
                        "for the teacher's console's store in the data folder)."),
         QStringLiteral("file")},
        {QStringLiteral("roster"),
         QStringLiteral("Class roster to import (CSV: number, name, class, computer; UTF-8 or "
                        "GBK)."),
         QStringLiteral("file")},
        {QStringLiteral("no-duplicate-notice"),
         QStringLiteral("Do not send 0011 to a second connection with a number already "
                        "connected.")},
        {QStringLiteral("seed"),
         QStringLiteral("Seed of the hostile mode (default: taken from the clock and printed)."),
         QStringLiteral("number")},
    });
    for (const QString &keyword : settingKeywords()) {
        parser.addOption({keyword,
                          QStringLiteral("Same as the script line \"%1 <value>\".").arg(keyword),
                          QStringLiteral("value")});
    }
    parser.process(app);

    TestServer server;
    ClassConsole console(server);
    ServerSettings &settings = server.settings();
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        print(0, QStringLiteral("error: give at most one script file"));
        return 2;
    }
    if (!positional.isEmpty()) {
        if (Status status = settings.script.load(positional.first()); !status.ok()) {
            print(0, QStringLiteral("error: ") + status.error);
            return 2;
        }
    }
    for (const QString &keyword : settingKeywords()) {
        for (const QString &value : parser.values(keyword)) {
            Status status = settings.script.apply(keyword + u' ' + value, QDir::current());
            if (!status.ok()) {
                print(0, QStringLiteral("error: --%1: %2").arg(keyword, status.error));
                return 2;
            }
        }
    }
    if (Status status = settings.script.checkEncodable(); !status.ok()) {
        print(0, QStringLiteral("error: ") + status.error);
        return 2;
    }
    if (parser.isSet(QStringLiteral("join")) && parser.isSet(QStringLiteral("split"))) {
        print(0, QStringLiteral("error: --join and --split exclude each other"));
        return 2;
    }
    if (parser.isSet(QStringLiteral("join")))
        settings.writeMode = WriteMode::Join;
    if (parser.isSet(QStringLiteral("split")))
        settings.writeMode = WriteMode::Split;
    bool ok = false;
    settings.splitPauseMs = parser.value(QStringLiteral("split-pause")).toInt(&ok);
    const bool pauseOk = ok && settings.splitPauseMs >= 0;
    settings.replyTimeoutMs = parser.value(QStringLiteral("reply-timeout")).toInt(&ok);
    const uint port = parser.value(QStringLiteral("port")).toUInt();
    if (!pauseOk || !ok || settings.replyTimeoutMs < 0 || port == 0 || port > 65535) {
        print(0, QStringLiteral("error: --port, --split-pause and --reply-timeout take numbers"));
        return 2;
    }

    int hostileSeconds = 0;
    quint32 hostileSeed = 0;
    if (parser.isSet(QStringLiteral("hostile"))) {
        hostileSeconds = parser.value(QStringLiteral("hostile")).toInt(&ok);
        if (!ok || hostileSeconds < 1 || hostileSeconds > 3600) {
            print(0, QStringLiteral("error: --hostile takes seconds from 1 to 3600"));
            return 2;
        }
        if (parser.isSet(QStringLiteral("listen-all"))) {
            print(0, QStringLiteral("error: --hostile runs on this computer only, not with "
                                    "--listen-all"));
            return 2;
        }
        hostileSeed = parser.isSet(QStringLiteral("seed"))
                          ? parser.value(QStringLiteral("seed")).toUInt(&ok)
                          : quint32(QDateTime::currentMSecsSinceEpoch());
        if (!ok) {
            print(0, QStringLiteral("error: --seed takes a number from 0 to 4294967295"));
            return 2;
        }
    } else if (parser.isSet(QStringLiteral("seed"))) {
        print(0, QStringLiteral("error: --seed belongs to --hostile"));
        return 2;
    }

    QObject::connect(&console, &ClassConsole::logged, [](int, const QString &line, bool ownEvent) {
        if (ownEvent)
            print(0, QStringLiteral("** ") + consoleformat::printable(line.section(u' ', 1), 400));
    });
    // The store first: a test it holds running goes on, with its own settings.
    QString storePath = parser.value(QStringLiteral("store"));
    if (storePath == u"default")
        storePath = ResultsStore::defaultPath();
    if (!storePath.isEmpty()) {
        if (Status status = console.openStore(storePath); !status.ok()) {
            print(0, QStringLiteral("error: ") + status.error);
            return 1;
        }
    }
    if (parser.isSet(QStringLiteral("roster"))) {
        QStringList skipped;
        if (Status status = console.importRoster(parser.value(QStringLiteral("roster")), &skipped);
            !status.ok()) {
            print(0, QStringLiteral("error: ") + status.error);
            return 2;
        }
        for (const QString &line : std::as_const(skipped))
            print(0, QStringLiteral("!! roster: ") + line);
    }
    if (parser.isSet(QStringLiteral("results")))
        console.setResultsFolder(parser.value(QStringLiteral("results")));
    console.setDuplicateNotice(!parser.isSet(QStringLiteral("no-duplicate-notice")));
    // Without a teacher at the keyboard the first student to press start opens the test.
    console.setAutoStart(true);
    // Stopped by the system, Ctrl+C or a closed terminal: the results are written first. A
    // test still running stays so in the store, to go on with after a restart.
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, [&console](int signal) {
        console.flush();
        print(0, QStringLiteral("signal %1: results written, stopping").arg(signal));
        QCoreApplication::quit();
    });

    const bool quiet = parser.isSet(QStringLiteral("quiet"));
    QObject::connect(&server, &TestServer::clientConnected, [&server](int id, const QString &peer) {
        print(
            id,
            QStringLiteral("connected from %1 (%2 connected)").arg(peer).arg(server.clientCount()));
    });
    QObject::connect(&server, &TestServer::clientDisconnected, [&server](int id) {
        print(id, QStringLiteral("disconnected (%1 connected)").arg(server.clientCount()));
    });
    QObject::connect(&server, &TestServer::messageSent, [quiet](int id, const QString &message) {
        if (!quiet)
            print(id, QStringLiteral("<- ") + consoleformat::printable(message));
    });
    QObject::connect(&server, &TestServer::replyReceived, [](int id, const QString &code) {
        print(id, QStringLiteral("-> %1 %2").arg(code, describeReply(code)));
    });
    QObject::connect(&server, &TestServer::progressReported,
                     [](int id, const protocol::Report &report) {
                         print(id, QStringLiteral("-> ") + consoleformat::report(report, false));
                     });
    QObject::connect(&server, &TestServer::endReported, [](int id, const protocol::Report &report) {
        print(id, QStringLiteral("-> ") + consoleformat::report(report, true));
    });
    QObject::connect(&server, &TestServer::unrecognised, [](int id, const QString &text) {
        print(id, QStringLiteral("-> not a client message: ") + consoleformat::printable(text));
    });
    QObject::connect(&server, &TestServer::warning,
                     [](int id, const QString &text) { print(id, QStringLiteral("!! ") + text); });
    QObject::connect(&server, &TestServer::hostileStarted, [hostileSeconds] {
        print(0, QStringLiteral("hostile period of %1 s begins").arg(hostileSeconds));
    });
    QObject::connect(&server, &TestServer::hostileSummary,
                     [](int id, const QString &text) { print(id, text); });
    QObject::connect(&server, &TestServer::hostileEnded, [] {
        print(0, QStringLiteral("hostile period over: the settings go out again, the test "
                                "runs normally from now on"));
    });

    const QHostAddress address = parser.isSet(QStringLiteral("listen-all"))
                                     ? QHostAddress(QHostAddress::Any)
                                     : QHostAddress(QHostAddress::LocalHost);
    if (Status status = server.listen(quint16(port), address); !status.ok()) {
        print(0, QStringLiteral("error: ") + status.error);
        return 1;
    }
    print(0, QStringLiteral("listening on %1 port %2%3")
                 .arg(address.toString())
                 .arg(server.port())
                 .arg(settings.script.text ? QString()
                                           : QStringLiteral(" (no text: 1009 gets no answer)")));
    if (hostileSeconds > 0) {
        if (Status status = server.startHostile(hostileSeconds, hostileSeed); !status.ok()) {
            print(0, QStringLiteral("error: ") + status.error);
            return 1;
        }
        print(0, QStringLiteral("hostile mode: %1 s from the first connection, seed %2 "
                                "(--hostile %1 --seed %2 repeats it)")
                     .arg(hostileSeconds)
                     .arg(hostileSeed));
    }
    if (parser.isSet(QStringLiteral("raw"))) {
        print(0, QStringLiteral("raw mode: each line typed here is sent to every client; a line "
                                "starting with / is a console command (/list, /summary, ...)"));
        readRawLines(server, console);
    }
    const int result = app.exec();
    console.flush();
    if (console.testRunning() &&
        console.store().path() != QString::fromUtf16(ResultsStore::kMemory))
        print(0, QStringLiteral("the test goes on in the store %1 when the server starts on it "
                                "again (/end ends it)")
                     .arg(console.store().path()));
    return result;
}
