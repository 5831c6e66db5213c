#include "ui/Form1.h"
#include "ui/SystemServices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("chengling-client"));

    SystemServices system;
    Form1 window(system.services(), system.modal());
    window.show();
    return app.exec();
}
