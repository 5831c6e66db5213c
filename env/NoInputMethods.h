#pragma once

#include "core/Platform.h"

// Used where the desktop offers no input method service the client can drive: nothing is
// installed and nothing can be activated.
class NoInputMethods final : public InputMethods
{
public:
    QStringList installed() override { return {}; }
    bool activate(const QString &) override { return false; }
};

class NoWindowTitles final : public WindowTitles
{
public:
    QStringList titles() override { return {}; }
};
