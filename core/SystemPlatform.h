// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Platform.h"

class SystemClipboard final : public Clipboard
{
public:
    void clear() override;
};

class SystemMachineInfo final : public MachineInfo
{
public:
    QString computerName() override;
};
