// chengling-teacher: the teacher's console. Runs the test server for a class and shows who is
// connected, how each student is doing, and the class as a whole.

#include "ClassConsole.h"
#include "TeacherWindow.h"
#include "TestServer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chengling-teacher"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Teacher's console of the Chengling text-entry test: runs the test server "
                       "for a class and shows the class live."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("script"),
                                 QStringLiteral("Test server script to start with (UTF-8)."),
                                 QStringLiteral("[script]"));
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Port to listen on (default 10000)."),
         QStringLiteral("port"), QStringLiteral("10000")},
        {QStringLiteral("local"),
         QStringLiteral("Listen on this computer only (default: every network interface).")},
        {QStringLiteral("results"),
         QStringLiteral("Folder for the results files (default: chengling-results in the "
                        "documents folder)."),
         QStringLiteral("folder")},
    });
    parser.process(app);

    TestServer server;
    ClassConsole console(server);
    const auto fail = [](const QString &text) {
        QMessageBox::critical(nullptr, QStringLiteral("教师控制台"), text);
        return 1;
    };
    if (!parser.positionalArguments().isEmpty()) {
        if (const Status status =
                server.settings().script.load(parser.positionalArguments().first());
            !status.ok())
            return fail(status.error);
    }
    console.setResultsFolder(
        parser.isSet(QStringLiteral("results"))
            ? parser.value(QStringLiteral("results"))
            : QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath(QStringLiteral("chengling-results")));
    bool ok = false;
    const uint port = parser.value(QStringLiteral("port")).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return fail(QStringLiteral("--port takes a number from 1 to 65535"));
    const QHostAddress address = parser.isSet(QStringLiteral("local"))
                                     ? QHostAddress(QHostAddress::LocalHost)
                                     : QHostAddress(QHostAddress::Any);
    if (const Status status = server.listen(quint16(port), address); !status.ok())
        return fail(status.error);

    TeacherWindow window(console);
    window.show();
    const int result = app.exec();
    // The results of a test still running are kept.
    (void)console.endTest();
    return result;
}
