#include "TestEnv.h"

#include "core/Gbk.h"
#include "ui/Form1.h"

#include <QFile>

TestEnv::TestEnv()
{
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.machine = &machine;
    services.inputMethods = &inputMethods;
    services.windowTitles = &windowTitles;
    services.socket = &fakeSocket;
    services.appDir = dir.path();
}

TestEnv::~TestEnv() = default;

void TestEnv::writeGbkFile(const QString &name, const QString &content)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(gbk::encode(content).bytes);
}

Form1 &TestEnv::createForm(Socket *socket)
{
    if (socket)
        services.socket = socket;
    form = std::make_unique<Form1>(services);
    return *form;
}

Client &TestEnv::client()
{
    return form->client();
}
