// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/ClientState.h"
#include "core/MainControls.h"
#include "core/Services.h"

class CodeTables;
class Connection;
class ForbiddenScan;
class HintDelay;
class InputGuards;
class InputMethodSelection;
class PracticeLauncher;
class ModalTracker;
class RootDisplay;
class StatisticsDisplay;
class TestControl;
class TestSession;
class TypingEngine;

// One client as its window and its tests see it: the shared state, the main window's controls as
// models, the platform services, and the handler modules. It holds no widget. The modules are
// owned and wired by ClientLogic (client/), each given its collaborators when it is made; a
// module only calls modules of its own layer or below (core <- net <- hints, env <- typing <-
// practice), and reaches the layers above through signals.
class Client
{
public:
    explicit Client(const Services &services);
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    // Close request: true (cancel) while a test runs, after warning the student.
    bool Form_QueryUnload();
    // The root table button: switches between the text boxes and the root chart.
    void btnzigen_Click();

    // Cuts the three identity texts at their first NUL character.
    void checkStr();
    QString getthecomputerName();
    static QString productCaption(); // caption after start-up
    static QString startCaption();   // caption before start-up ends

    ClientState state;
    MainControls ui;
    Services services;

    CodeTables *tables = nullptr;         // hints/: ReadBM, FindWord, FindCz
    RootDisplay *roots = nullptr;         // hints/: DispZG, ClearZg
    HintDelay *hints = nullptr;           // hints/: hint reset, hint step, cts click
    TypingEngine *typing = nullptr;       // typing/: txt2_Change, JiSuan
    TestSession *session = nullptr;       // typing/: the test's lifecycle, Timer3_Timer, rst
    StatisticsDisplay *display = nullptr; // typing/: the statistics row
    InputGuards *guards = nullptr;        // typing/: focus, key and mouse guards
    Connection *connection = nullptr;     // net/: connect button, socket events, Timer4
    TestControl *control = nullptr;       // net/: server messages, start button
    InputMethodSelection *imes = nullptr; // env/: ReadShurufa, FillShurufa, activation
    ForbiddenScan *forbidden = nullptr;   // env/: forbidden program check
    PracticeLauncher *practice = nullptr; // practice/: LoadForm of the root practice
    ModalTracker *modal = nullptr;        // core/: the modal windows open now
};
