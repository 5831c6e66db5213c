// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/AppPaths.h"

class Clipboard;
class Dialogs;
class InputMethodService;
class MachineInfo;
class Socket;
class WindowTitles;

// The platform services one client uses. The application fills it with the real backends;
// tests fill it with fakes. None of the pointers is owned here.
struct Services
{
    Dialogs *dialogs = nullptr;
    Clipboard *clipboard = nullptr;
    MachineInfo *machine = nullptr;
    InputMethodService *inputMethods = nullptr;
    WindowTitles *windowTitles = nullptr;
    Socket *socket = nullptr; // the one connection to the test server, for the client's life
    AppPaths paths;           // appset.ini, wb.dat, wbcz.dat and 86zg.dat
};
