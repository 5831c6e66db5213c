// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tests/support/FakePlatform.h"

#include <memory>

class Client;
class ClientLogic;

// A client without a window, on fake platform services in a fresh folder of its own. Files
// the client reads at start-up (appset.ini, wb.dat, ...) are written into dir before
// createLogic().
class LogicEnv : public FakePlatform
{
public:
    LogicEnv();
    ~LogicEnv();

    // Creates the client and runs its start-up. Uses socket if given, else fakeSocket.
    ClientLogic &createLogic(Socket *socket = nullptr);
    Client &client();
    ClientLogic &logic() { return *m_logic; }

private:
    std::unique_ptr<ClientLogic> m_logic;
};
