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
class RootDisplay;
class TestClock;
class TestControl;
class TestEnding;
class TypingEngine;

// What every handler of one client works on: the shared state, the main window's controls as
// models, the platform services, and the handler modules, which reach each other through it.
// It holds no widget. The modules are owned and wired by ClientLogic (client/); a module only
// calls modules of its own layer or below (core <- net <- hints, env, practice <- typing), and
// reaches the layers above through signals.
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
    TypingEngine *typing = nullptr;       // typing/: txt2_Change, JiSuan, rst
    TestClock *clock = nullptr;           // typing/: Timer3_Timer, display refresh
    TestEnding *ending = nullptr;         // typing/: every way a test ends
    InputGuards *guards = nullptr;        // typing/: focus, key and mouse guards
    Connection *connection = nullptr;     // net/: connect button, socket events, Timer4
    TestControl *control = nullptr;       // net/: server messages, start button
    InputMethodSelection *imes = nullptr; // env/: ReadShurufa, FillShurufa, activation
    ForbiddenScan *forbidden = nullptr;   // env/: forbidden program check
    PracticeLauncher *practice = nullptr; // practice/: LoadForm of the root practice
};
