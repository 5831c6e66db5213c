// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Client.h"
#include "core/ModalTracker.h"
#include "typing/TestResult.h"

#include <QObject>

#include <memory>

class CodeTables;
class Connection;
class ForbiddenScan;
class HintDelay;
class InputGuards;
class InputMethodSelection;
class PracticeLauncher;
class RootDisplay;
class StatisticsDisplay;
class TestControl;
class TestSession;
class TypingEngine;

// One client without its window: the shared context, every handler module with its
// collaborators, and the wiring of the controls' events, the socket's events and the modules'
// signals to the handlers. What only a window can do (settings dialogs, the message and result
// windows) goes out through the signals below; the main window binds its widgets to client().ui
// and connects these.
class ClientLogic : public QObject
{
    Q_OBJECT
public:
    explicit ClientLogic(const Services &services, QObject *parent = nullptr);
    ~ClientLogic() override;

    Client &client() { return m_client; }

    // Start-up: machine name, input methods, colours, settings, code tables, identity,
    // status bar and display. Failures show the error box.
    void Form_Load();

signals:
    void serverSettingsWanted();
    void userSettingsWanted();
    void teacherMessage(const QString &text);
    // Shows the result; a connected window returns when it has closed.
    void resultReady(const TestResult &result);

private:
    void connectEvents();

    Client m_client;
    ModalTracker m_modal;
    TrackedDialogs m_dialogs;
    std::unique_ptr<CodeTables> m_tables;
    std::unique_ptr<RootDisplay> m_roots;
    std::unique_ptr<HintDelay> m_hints;
    std::unique_ptr<InputMethodSelection> m_imes;
    std::unique_ptr<ForbiddenScan> m_forbidden;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<StatisticsDisplay> m_display;
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<TypingEngine> m_typing;
    std::unique_ptr<InputGuards> m_guards;
    std::unique_ptr<TestControl> m_control;
    std::unique_ptr<PracticeLauncher> m_practice;
};
