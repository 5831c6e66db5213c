// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Services.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/FakeServices.h"

#include <QTemporaryDir>

// Fakes of every platform service and a fresh folder for the client's files, wired into
// `services`. The test environments with and without a window both start from this; one with
// a window puts its own message boxes into services.dialogs.
class FakePlatform
{
public:
    FakePlatform();
    FakePlatform(const FakePlatform &) = delete;
    FakePlatform &operator=(const FakePlatform &) = delete;

    // Writes a file into the client's folder, encoded in GBK.
    void writeGbkFile(const QString &name, const QString &content);

    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeClipboard clipboard;
    FakeMachineInfo machine;
    FakeInputMethodService inputMethods;
    FakeWindowTitles windowTitles;
    FakeSocket fakeSocket;
    Services services;
};
