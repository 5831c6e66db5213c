// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"
#include "net/Protocol.h"

// What the server's messages ask of whoever owns the test (the test session, a layer above the
// network): the message handler parses and replies, the owner changes the test.
class TestFlow
{
public:
    virtual ~TestFlow() = default;

    // A "0010" text (plain or words): a new test. Fails, changing nothing, when the text cannot
    // be a test; the error is shown in the handler's error box.
    virtual Status loadText(const protocol::TestText &text) = 0;
    // A "0100" message: whether the roots and the code hints are allowed.
    virtual void setEnvironment(bool rootsAllowed, bool hintsAllowed) = 0;
};
