// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/LogicEnv.h"

#include "client/ClientLogic.h"

LogicEnv::LogicEnv() = default;

LogicEnv::~LogicEnv() = default;

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
