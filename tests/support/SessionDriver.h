// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "tests/support/LogicEnv.h"
#include "tests/support/SessionInvariants.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

class Client;
struct TestResult;

// Drives one whole client without a window through events chosen by a stream of bytes (a
// seeded generator in the model test, the fuzzer's input in the handler fuzzer): server
// messages of every kind, clock ticks, typing and Backspace, the buttons, the end question
// answered either way, the result window closed with or without its practice link, root
// practice keys and closing, connections lost and made again. Boxes and result windows may
// run further events while they are open, as the student and the server go on meanwhile.
// After every event the invariants are checked.
class SessionDriver
{
public:
    using Bytes = std::function<uint8_t()>;
    // Raw arrivals: any text at all, as a broken server may send it.
    using Pieces = std::function<QString()>;

    explicit SessionDriver(Bytes next, Pieces pieces = {});
    ~SessionDriver();

    // One event, and the checks after it.
    void step();
    int events() const { return m_events; }

    Client &client();
    SessionInvariants &invariants() { return *m_invariants; }

private:
    enum class Event {
        Message,
        Tick,
        Type,
        Backspace,
        End,
        Start,
        Connection,
        PracticeKey,
        PracticeClose,
        Hints,
        RawMessage,
        LongText,
        Count
    };

    void run(Event event);
    void serverMessage();
    void deliver(const QString &message);
    QString someText(int maxLength);
    void tick(int count);
    void type();
    void backspace();
    void practiceKey();
    void closePractice();
    void nested(const QString &where);
    void checkAfter(const QString &where);
    Dialogs::Button answer(const FakeDialogs::Shown &box);
    void showResult(const TestResult &result);
    void quietTimers();

    Bytes m_next;
    Pieces m_pieces;
    std::minstd_rand m_draws;
    LogicEnv m_env;
    std::unique_ptr<SessionInvariants> m_invariants;
    int m_depth = 0;
    int m_events = 0;
};
