// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Client.h"
#include "core/Platform.h"
#include "env/ProbingInputMethods.h"
#include "net/Connection.h"
#include "net/TcpSocket.h"
#include "net/TestControl.h"
#include "server/TestServer.h"
#include "tests/support/TestEnv.h"
#include "typing/TestSession.h"
#include "ui/Form1.h"

#include <QDir>
#include <QGuiApplication>
#include <QTest>

#include <memory>

// The real client (main window, the desktop's input method framework, the given window title
// service) against the bundled test server on 127.0.0.1, as a student starts a test: shown,
// active, connected, the server's settings received. Message boxes are recorded in
// env.dialogs instead of waiting for a person.
struct RealClient
{
    // lines: test script lines ("ime 五笔", "forbid 记事本|测试", "text ...").
    bool start(const QStringList &lines, WindowTitles *titles = nullptr)
    {
        for (const QString &line : lines) {
            if (!server.settings().script.apply(line, QDir()).ok())
                return false;
        }
        server.settings().messageGapMs = 20;
        server.settings().environmentPauseMs = 50;
        if (!server.listen(0).ok())
            return false;
        env.services.inputMethods = &imes;
        if (titles)
            env.services.windowTitles = titles;
        form = &env.createForm(&socket);
        c = &env.client();
        c->ui.Timer4->stop();
        c->state.strServerIp = QStringLiteral("127.0.0.1");
        c->state.NumServerPort = server.port();
        c->state.strXuehao = QStringLiteral("31");
        c->state.strUserName = QStringLiteral("李明");
        c->state.strBanji = QStringLiteral("三班");
        form->show();
        form->activateWindow();
        // On Wayland a client cannot activate itself; the compositor gives a new window the
        // focus.
        const bool activates =
            !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
        if (!(activates ? QTest::qWaitForWindowActive(form) : QTest::qWaitForWindowExposed(form)))
            return false;
        startupBoxes = env.dialogs.count();
        c->connection->cmdlianjie_Click();
        return true;
    }

    // Waits until the server's input method rule has filled the list.
    bool listFilled(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([this] { return c->ui.cmbshurufa->count() > 0; }, timeoutMs);
    }

    // Picks the list item with this text, as the student does.
    bool pick(const QString &item)
    {
        const int index = int(c->ui.cmbshurufa->items().indexOf(item));
        if (index < 0)
            return false;
        c->ui.cmbshurufa->activate(index);
        return true;
    }

    // Asks for the test text and waits until it is loaded.
    bool loadText(const QString &text)
    {
        c->session->cmdread_Click();
        return QTest::qWaitFor([&] { return c->ui.txt1->text() == text; }, 10000);
    }

    // For a person to look at: the client's window as it is now, saved into the folder
    // CLIENT_SCREENSHOTS names (nothing when it is not set).
    void screenshot(const QString &name) const
    {
        const QString folder = qEnvironmentVariable("CLIENT_SCREENSHOTS");
        if (!folder.isEmpty() && form)
            form->grab().save(folder + u'/' + name + QStringLiteral(".png"));
    }

    ~RealClient()
    {
        if (c) {
            c->ui.Timer3->stop();
            c->state.IsWorking = false;
        }
    }

    TestServer server;
    ProbingInputMethods imes;
    TcpSocket socket;
    TestEnv env;
    Form1 *form = nullptr;
    Client *c = nullptr;
    int startupBoxes = 0;
};
