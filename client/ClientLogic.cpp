// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "client/ClientLogic.h"

#include "core/AppSettings.h"
#include "core/Dialogs.h"
#include "env/ForbiddenScan.h"
#include "env/InputMethodSelection.h"
#include "hints/CodeTables.h"
#include "hints/HintDelay.h"
#include "hints/RootDisplay.h"
#include "net/Connection.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "practice/PracticeLauncher.h"
#include "typing/InputGuards.h"
#include "typing/StatisticsDisplay.h"
#include "typing/TestSession.h"
#include "typing/TypingEngine.h"

#include <exception>

ClientLogic::ClientLogic(const Services &services, QObject *parent)
    : QObject(parent)
    , m_client(services)
    , m_dialogs(services.dialogs, m_modal)
{
    Client &c = m_client;
    ClientState &state = c.state;
    MainControls &ui = c.ui;
    // Every message box of the client counts as an open modal window.
    c.services.dialogs = &m_dialogs;
    Socket *socket = c.services.socket;

    m_tables = std::make_unique<CodeTables>(ui, c.services.paths);
    m_roots = std::make_unique<RootDisplay>(ui, *m_tables);
    m_hints = std::make_unique<HintDelay>(state, ui, *m_tables, *m_roots);
    m_imes = std::make_unique<InputMethodSelection>(state, ui, c.services.inputMethods, m_dialogs);
    m_forbidden = std::make_unique<ForbiddenScan>(state, c.services.windowTitles, m_dialogs);
    m_connection = std::make_unique<Connection>(state, *ui.sb, socket, m_dialogs);
    m_display = std::make_unique<StatisticsDisplay>(state, ui);
    m_session = std::make_unique<TestSession>(state, ui, m_dialogs, socket, *m_connection, m_modal,
                                              *m_hints, *m_display, *m_tables);
    m_typing = std::make_unique<TypingEngine>(state, ui, *m_hints, *m_imes, *m_session);
    m_guards = std::make_unique<InputGuards>(state, ui, c.services.clipboard, *m_imes, *m_typing);
    m_control = std::make_unique<TestControl>(state, ui, socket, m_dialogs, *m_connection, m_modal,
                                              *m_session);
    m_practice = std::make_unique<PracticeLauncher>(state, *m_session, m_dialogs, c.services.paths);

    c.tables = m_tables.get();
    c.roots = m_roots.get();
    c.hints = m_hints.get();
    c.typing = m_typing.get();
    c.session = m_session.get();
    c.display = m_display.get();
    c.guards = m_guards.get();
    c.connection = m_connection.get();
    c.control = m_control.get();
    c.imes = m_imes.get();
    c.forbidden = m_forbidden.get();
    c.practice = m_practice.get();
    c.modal = &m_modal;
    connectEvents();
}

ClientLogic::~ClientLogic()
{
    m_client.ui.Timer3->stop();
    m_client.ui.Timer4->stop();
}

void ClientLogic::connectEvents()
{
    MainControls &ui = m_client.ui;
    Client *c = &m_client;
    connect(ui.txt2, &TextModel::changed, this,
            [c](const QString &typed) { c->typing->txt2_Change(typed); });
    connect(ui.txt1, &TextModel::gotFocus, this, [c] { c->guards->txt1_GotFocus(); });
    connect(ui.txt2, &TextModel::gotFocus, this, [c] { c->guards->txt2_GotFocus(); });
    connect(ui.txt2, &TextModel::keyDown, this,
            [c](int key, int shift) { c->guards->txt2_KeyDown(key, shift); });
    // Keys the input method keeps as composition reach the box only as input method events.
    connect(ui.txt2, &TextModel::inputMethodUsed, this, [c] { c->imes->reactivate(); });
    connect(ui.txt2, &TextModel::keyUp, this,
            [c](int key, int shift) { c->guards->txt2_KeyUp(key, shift); });
    connect(ui.txt2, &TextModel::mouseUp, this, [c](int button, int shift, int x, int y) {
        c->guards->txt2_MouseUp(button, shift, x, y);
    });

    connect(ui.Timer3, &QTimer::timeout, this, [c] { c->session->Timer3_Timer(); });
    connect(ui.Timer4, &QTimer::timeout, this, [c] { c->connection->Timer4_Timer(); });

    connect(ui.cmdlianjie, &ControlModel::clicked, this,
            [c] { c->connection->cmdlianjie_Click(); });
    connect(ui.cmdread, &ControlModel::clicked, this, [c] { c->session->cmdread_Click(); });
    connect(ui.cmdexit, &ControlModel::clicked, this, [c] { c->session->cmdexit_Click(); });
    connect(ui.btnzigen, &ControlModel::clicked, this, [c] { c->btnzigen_Click(); });
    connect(ui.cmdserverset, &ControlModel::clicked, this, &ClientLogic::serverSettingsWanted);
    connect(ui.cmduserset, &ControlModel::clicked, this, &ClientLogic::userSettingsWanted);
    connect(ui.cts, &ControlModel::clicked, this, [c] { c->hints->cts_Click(); });
    connect(ui.cmbshurufa, &ChoiceList::activated, this, [c] { c->imes->cmbshurufa_Click(); });

    connect(m_connection.get(), &Connection::serverSettingsWanted, this,
            &ClientLogic::serverSettingsWanted);
    connect(m_connection.get(), &Connection::userSettingsWanted, this,
            &ClientLogic::userSettingsWanted);
    connect(m_control.get(), &TestControl::teacherMessage, this, &ClientLogic::teacherMessage);
    connect(m_control.get(), &TestControl::rootPractice, this,
            [c](const QString &body) { c->practice->LoadForm(body); });
    connect(m_control.get(), &TestControl::hintsWithdrawn, this, [c] { c->roots->ClearZg(); });
    connect(m_control.get(), &TestControl::inputMethodRule, this,
            [c](const QString &rule) { c->imes->FillShurufa(rule); });
    connect(m_control.get(), &TestControl::forbiddenList, this,
            [c](const QString &list) { c->forbidden->check(list); });
    connect(m_session.get(), &TestSession::resultReady, this, &ClientLogic::resultReady);

    if (Socket *wsk = m_client.services.socket) {
        connect(wsk, &Socket::connected, this, [c] { c->connection->wsk_Connect(); });
        connect(wsk, &Socket::closed, this, [c] { c->connection->wsk_Close(); });
        connect(wsk, &Socket::error, this,
                [c](int number, const QString &) { c->connection->wsk_Error(number); });
        connect(wsk, &Socket::dataArrival, this,
                [c](const QString &data) { c->control->wsk_DataArrival(data); });
    }
}

void ClientLogic::Form_Load()
{
    ClientState &state = m_client.state;
    MainControls &ui = m_client.ui;
    try {
        state.computerName = m_client.getthecomputerName();
        ui.sb->showComputer(state.computerName);
        state.NumHintDelay = 8;
        m_imes->ReadShurufa();
        m_imes->tellSetupProblem();

        state.ColorRight = QColor(150, 150, 150);
        state.ColorErr = QColor(255, 0, 0);
        state.ColorNoinput = QColor(0, 0, 0);
        state.ColorNow = QColor(0, 0, 255);
        state.txtFontsize = 25;
        state.txtFontName = QStringLiteral("黑体");

        // An installed client's first start fills the user's settings from the room's preset.
        const AppPaths &paths = m_client.services.paths;
        if (const Status prepared = paths.prepareSettings(); !prepared.ok())
            showMessage(*m_client.services.dialogs, Dialogs::Warning, QStringLiteral("注意"),
                        prepared.error);
        const AppSettings settings(paths);
        const AppSettings::Server server = settings.readServer();
        state.strServerIp = server.ip;
        state.NumServerPort = server.port;

        m_tables->ReadBM();

        const AppSettings::Identity identity = settings.readIdentity();
        state.strUserName = identity.name;
        state.strXuehao = identity.xuehao;
        state.strBanji = identity.banji;
        m_client.checkStr();
        ui.sb->showIdentity(state.strUserName, state.strXuehao, state.strBanji);

        m_display->refresh(m_session->effectiveLimit());
    } catch (const std::exception &e) {
        showMessage(*m_client.services.dialogs, Dialogs::Critical, QStringLiteral("错误"),
                    QString::fromLocal8Bit(e.what()));
    }
}
