#include "core/Dialogs.h"
#include "core/SystemPlatform.h"
#include "env/NoInputMethods.h"
#include "net/TcpSocket.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chengling-client"));

    SystemDialogs dialogs;
    SystemClipboard clipboard;
    SystemMachineInfo machine;
    NoInputMethods inputMethods;
    NoWindowTitles windowTitles;
    TcpSocket socket;

    Services services;
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.machine = &machine;
    services.inputMethods = &inputMethods;
    services.windowTitles = &windowTitles;
    services.socket = &socket;
    services.appDir = QCoreApplication::applicationDirPath();

    Form1 window(services);
    window.show();
    return app.exec();
}
