// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/TestScript.h"

// How the server writes its messages to a client.
enum class WriteMode {
    // A faithful peer: each message in one write, flushed, with a short gap before the next so
    // that no two messages reach the client in one read.
    Normal,
    // Messages sent at the same moment go out in one write: the settings on connect (sent
    // without waiting for replies) and the text with the teacher messages due at 0 seconds.
    Join,
    // Each message goes out in two writes, split in the middle of its bytes, with a pause
    // between them.
    Split,
};

// Everything a client session needs from the server; shared by all sessions and read when used,
// so a change applies to connected clients too.
struct ServerSettings
{
    TestScript script;
    WriteMode writeMode = WriteMode::Normal;
    int messageGapMs = 100;       // Normal: pause after each write
    int splitPauseMs = 300;       // Split: pause after each half
    int environmentPauseMs = 300; // "0100" has no reply: pause before the next setting
    int replyTimeoutMs = 5000;    // give up waiting for "1008"/"1010" and go on
    int pendingTimeoutMs = 1000;  // an unfinished client message is shown as is after this
    // A start request ("1009") is answered with the script's text at once. The class console
    // turns this off and decides itself who gets a text when.
    bool answerStartRequests = true;
    // Connections served at once; more are closed as they come (and counted).
    int maxConnections = 2000;
    // What the server reads from one connection before the client has to wait: a flood is held
    // back by TCP instead of growing the server's memory.
    qint64 readBufferBytes = 64 * 1024;

    // Hostile mode (TestServer::startHostile): one burst per interval at most, none while more
    // than the backlog is still waiting to go out to that client, and a pause after the period
    // before the settings go out again.
    int hostileBurstMs = 100;
    qint64 hostileBacklogBytes = 512 * 1024;
    int hostileSettleMs = 1000;
};
