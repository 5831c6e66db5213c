// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestEnv.h"

#include "ui/Form1.h"

#include <QApplication>

TestEnv::TestEnv()
{
    services.dialogs = &windowDialogs;

    m_modalGuard.setInterval(50);
    QObject::connect(&m_modalGuard, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != m_modal) {
            m_modal = modal;
            m_modalSince.start();
        } else if (modal && m_modalSince.elapsed() >= kModalGraceMs) {
            modal->close();
        }
    });
    m_modalGuard.start();
}

TestEnv::~TestEnv() = default;

Form1 &TestEnv::createForm(Socket *socket)
{
    if (socket)
        services.socket = socket;
    form = std::make_unique<Form1>(services, windows);
    return *form;
}

Client &TestEnv::client()
{
    return form->client();
}
