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
