// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/widgets/WindowDialogs.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeWindows.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <memory>

class Form1;
class Client;

// A main window on fake platform services in a fresh folder of its own. Files that the client
// reads at start-up (appset.ini, wb.dat, ...) are written into dir before createForm(). Message
// boxes are real QMessageBox windows run through `windows`, recorded in `dialogs`.
class TestEnv : public FakePlatform
{
public:
    TestEnv();
    ~TestEnv();

    // Creates the main window (running its start-up). Uses socket if given, else fakeSocket.
    Form1 &createForm(Socket *socket = nullptr);
    Client &client();

    FakeWindows windows{dialogs};
    WindowDialogs windowDialogs{windows};
    std::unique_ptr<Form1> form;

    // Windows with a modal loop of their own (the result window) are closed once they have
    // been the active modal window for this long, so a test that ends a typing test never
    // waits for a person. Tests that look at such a window act on it sooner.
    static constexpr int kModalGraceMs = 250;

private:
    QTimer m_modalGuard;
    QPointer<QWidget> m_modal;
    QElapsedTimer m_modalSince;
};
