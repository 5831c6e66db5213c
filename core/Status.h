// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// The outcome of an operation that can fail at a module border: empty error means success.
struct [[nodiscard]] Status
{
    QString error;

    bool ok() const { return error.isEmpty(); }
    static Status success() { return {}; }
    static Status failure(const QString &message) { return {message}; }
};
