#pragma once

#include "core/ClientState.h"
#include "core/MainControls.h"
#include "core/Services.h"

#include <memory>

class CodeTables;
class Connection;
class ForbiddenScan;
class HintDelay;
class InputGuards;
class InputMethodSelection;
class MessageWindows;
class PracticeLauncher;
class RootDisplay;
class TestClock;
class TestControl;
class TypingEngine;

// One client: its state, the main window's controls, the platform services and the handler
// modules. The main window owns one for its whole life; handlers reach each other through it,
// as they all act on the one main window.
class Client
{
public:
    Client(const MainControls &controls, const Services &services);
    ~Client();
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    // Connects the controls' and the socket's events to the handlers. Called once.
    void connectEvents();

    // Start-up of the main window: machine name, input methods, fonts and colours, settings,
    // code tables, identity, status bar, display and caption.
    void Form_Load();
    // Close request: sets cancel and warns while a test runs.
    void Form_QueryUnload(bool &cancel);
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

    std::unique_ptr<CodeTables> tables;          // hints/: ReadBM, FindWord, FindCz
    std::unique_ptr<RootDisplay> roots;          // hints/: DispZG, ClearZg
    std::unique_ptr<HintDelay> hints;            // hints/: hint reset, hint step, cts click
    std::unique_ptr<TypingEngine> typing;        // typing/: txt2_Change, JiSuan, ResetNum, rst
    std::unique_ptr<TestClock> clock;            // typing/: Timer3_Timer, display refresh
    std::unique_ptr<InputGuards> guards;         // typing/: focus, key and mouse guards
    std::unique_ptr<MessageWindows> windows;     // typing/: Form4 PrintText, Form5 showMsg
    std::unique_ptr<Connection> connection;      // net/: connect button, socket events, Timer4
    std::unique_ptr<TestControl> control;        // net/: server messages, start and end buttons
    std::unique_ptr<InputMethodSelection> imes;  // env/: ReadShurufa, FillShurufa, activation
    std::unique_ptr<ForbiddenScan> forbidden;    // env/: forbidden program check
    std::unique_ptr<PracticeLauncher> practice;  // practice/: LoadForm of the root practice
};
