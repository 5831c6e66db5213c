// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/FakePlatform.h"

#include "core/Gbk.h"

#include <QFile>

FakePlatform::FakePlatform()
{
    services.dialogs = &dialogs;
    services.clipboard = &clipboard;
    services.machine = &machine;
    services.inputMethods = &inputMethods;
    services.windowTitles = &windowTitles;
    services.socket = &fakeSocket;
    services.paths = AppPaths::inFolder(dir.path());
}

void FakePlatform::writeGbkFile(const QString &name, const QString &content)
{
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(gbk::encode(content).bytes);
}
