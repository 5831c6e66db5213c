// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"

#include <QStringList>

// An input method framework whose list a test sets. Activations are recorded; like the real
// backends it switches only when the wanted input method is not the active one, and a test
// can play the student's hot key with switchAway().
class FakeInputMethodService final : public InputMethodService
{
public:
    InputMethodListing read() override
    {
        ++reads;
        if (!failure.isEmpty())
            return {{}, failure};
        return {entries, {}};
    }
    void activate(const QString &id) override
    {
        requests << id;
        if (id.isEmpty() || id == current)
            return;
        activations << id;
        current = id;
    }
    QString active() const override { return current; }
    QString framework() const override { return QStringLiteral("fake"); }
    QString setupProblem() const override { return problem; }

    // The student switched with the desktop's hot key.
    void switchAway(const QString &id) { current = id; }

    // Entries given as descriptions get the ids "im0", "im1", ... in order.
    void setDescriptions(const QStringList &descriptions)
    {
        entries.clear();
        for (qsizetype i = 0; i < descriptions.size(); ++i)
            entries.append({QStringLiteral("im%1").arg(i), descriptions.at(i)});
    }

    QList<InputMethodEntry> entries;
    QString failure;         // when set, read() fails with it
    QString problem;         // what setupProblem() tells
    QString current;         // the active input method
    QStringList requests;    // every activate() call
    QStringList activations; // the switches that happened
    int reads = 0;
};
