#pragma once

#include "FakeDialogs.h"
#include "FakeServices.h"
#include "core/Services.h"

#include <QTemporaryDir>

#include <memory>

class Client;
class ClientLogic;

// A client without a window, on fake platform services in a fresh folder of its own. Files
// the client reads at start-up (appset.ini, wb.dat, ...) are written into dir before
// createLogic().
class LogicEnv
{
public:
    LogicEnv();
    ~LogicEnv();

    // Writes a file into the client's folder, encoded in GBK.
    void writeGbkFile(const QString &name, const QString &content);
    // Creates the client and runs its start-up. Uses socket if given, else fakeSocket.
    ClientLogic &createLogic(Socket *socket = nullptr);
    Client &client();
    ClientLogic &logic() { return *m_logic; }

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    FakeMachineInfo machine;
    FakeInputMethodService inputMethods;
    FakeWindowTitles windowTitles;
    FakeSocket fakeSocket;
    Services services;

private:
    std::unique_ptr<ClientLogic> m_logic;
};
