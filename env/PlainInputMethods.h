// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"

// Used when no input method framework runs: the keyboard alone, which "英语（美国）" stands
// for. There is nothing to switch.
class PlainInputMethods final : public InputMethodService
{
public:
    static QString keyboardId() { return QStringLiteral("keyboard"); }

    InputMethodListing read() override { return {{{keyboardId(), QString()}}, {}}; }
    void activate(const QString &) override {}
    QString active() const override { return keyboardId(); }
    QString framework() const override { return QStringLiteral("none"); }
};
