// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/SystemPlatform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSysInfo>

void SystemClipboard::clear()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear(QClipboard::Clipboard);
    if (clipboard->supportsSelection())
        clipboard->clear(QClipboard::Selection);
}

QString SystemMachineInfo::computerName()
{
    return QSysInfo::machineHostName();
}
