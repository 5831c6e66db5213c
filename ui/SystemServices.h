// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Services.h"
#include "core/SystemPlatform.h"
#include "core/widgets/ModalRunner.h"
#include "core/widgets/WindowDialogs.h"
#include "env/ProbingInputMethods.h"
#include "env/SessionWindowTitles.h"
#include "net/TcpSocket.h"

#include <QCoreApplication>

// The platform services of a real client: message boxes, clipboard, machine name, input
// methods, window titles and a TCP socket, with the settings and data places of an installed or
// a copied client (AppPaths). A
// caller that wants no network (a benchmark) passes its own socket.
class SystemServices
{
public:
    explicit SystemServices(Socket *socket = nullptr)
    {
        m_services.dialogs = &m_dialogs;
        m_services.clipboard = &m_clipboard;
        m_services.machine = &m_machine;
        m_services.inputMethods = &m_inputMethods;
        m_services.windowTitles = &m_windowTitles;
        m_services.socket = socket ? socket : &m_socket;
        m_services.paths = AppPaths::locate(QCoreApplication::applicationDirPath());
    }
    SystemServices(const SystemServices &) = delete;
    SystemServices &operator=(const SystemServices &) = delete;

    const Services &services() const { return m_services; }
    ModalRunner &modal() { return m_modal; }

private:
    SystemModalRunner m_modal;
    WindowDialogs m_dialogs{m_modal};
    SystemClipboard m_clipboard;
    SystemMachineInfo m_machine;
    ProbingInputMethods
        m_inputMethods; // fcitx5, IBus or the plain keyboard, looked for at each fill
    SessionWindowTitles m_windowTitles; // X11, the compositor's list, own windows, programs
    TcpSocket m_socket;
    Services m_services;
};
