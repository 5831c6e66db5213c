#include "LogicEnv.h"

#include "client/ClientLogic.h"
#include "core/Gbk.h"

#include <QFile>

LogicEnv::LogicEnv()
{
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.machine = &machine;
    services.inputMethods = &inputMethods;
    services.windowTitles = &windowTitles;
    services.socket = &fakeSocket;
    services.appDir = dir.path();
}

LogicEnv::~LogicEnv() = default;

void LogicEnv::writeGbkFile(const QString &name, const QString &content)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(gbk::encode(content).bytes);
}

ClientLogic &LogicEnv::createLogic(Socket *socket)
{
    if (socket)
        services.socket = socket;
    m_logic = std::make_unique<ClientLogic>(services);
    m_logic->Form_Load();
    return *m_logic;
}

Client &LogicEnv::client()
{
    return m_logic->client();
}
