// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

// What a root practice asks of the client that runs it: the practice is a test of the client's
// test session, which times it, reports it, ends it and shows its result.
class PracticeHost
{
public:
    virtual ~PracticeHost() = default;

    // A practice of `roots` roots starts now; its identity.
    virtual quint64 beginPractice(int roots) = 0;
    // Whether practice `practice` is the client's running test.
    virtual bool isRunning(quint64 practice) const = 0;
    // Every root of practice `practice` is typed: it ends, and its result window shows. Returns
    // when the window has closed.
    virtual void practiceFinished(quint64 practice) = 0;
    // Asks whether to leave the running practice; true when the student answers Yes.
    virtual bool confirmLeave(const QString &question) = 0;
    // The student left practice `practice` before its end.
    virtual void practiceLeft(quint64 practice) = 0;
    // A wrong key: `pressed` for `root`, whose key is `right`.
    virtual void practiceMistake(quint64 practice, const QString &root, QChar pressed,
                                 QChar right) = 0;
};
