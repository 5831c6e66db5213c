// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "net/TestControl.h"

#include "core/ClientState.h"
#include "core/Dialogs.h"
#include "core/MainControls.h"
#include "core/ModalTracker.h"
#include "net/Connection.h"
#include "net/Socket.h"
#include "net/TestFlow.h"

#include <algorithm>

namespace {

// A step of the message handler that failed: its description goes to the handler's error box
// and the rest of the message's handling is skipped.
struct HandlerError
{
    QString description;
};

const QString kSendFailed = QStringLiteral("无法向服务器发送回复：与服务器的连接没有建立。");

bool isWarningNotice(const QString &message)
{
    return protocol::code(message) == protocol::kDuplicateLogin &&
           protocol::isDuplicateLogin(message);
}

} // namespace

TestControl::TestControl(ClientState &state, MainControls &ui, Socket *socket, Dialogs &dialogs,
                         Connection &connection, ModalTracker &modal, TestFlow &flow)
    : m_state(state)
    , m_ui(ui)
    , m_socket(socket)
    , m_dialogs(dialogs)
    , m_connection(connection)
    , m_modal(modal)
    , m_flow(flow)
{
    // Handled once the code that closed the last window has finished, not in the middle of it.
    connect(&m_modal, &ModalTracker::allClosed, this,
            [this] { QMetaObject::invokeMethod(this, &TestControl::drain, Qt::QueuedConnection); });
    connect(&m_connection, &Connection::lost, this, &TestControl::dropClosed);
    connect(&m_connection, &Connection::opened, this, &TestControl::dropClosed);
}

void TestControl::wsk_DataArrival(const QString &message)
{
    handleMessage(message);
}

void TestControl::handleMessage(const QString &message)
{
    Waiting arrival{message, m_connection.generation(), false};
    // A teacher's message shows at once: its window is not modal.
    if (protocol::code(message) == protocol::kTeacherMessage) {
        handleOne(arrival);
        return;
    }
    // In order: behind whatever still waits, and behind an open window.
    enqueue(std::move(arrival));
    drain();
}

void TestControl::enqueue(Waiting message)
{
    // One warning about a duplicate login is enough: the others are answered without a box.
    if (isWarningNotice(message.message)) {
        message.quiet = m_warningShown ||
                        std::any_of(m_waiting.cbegin(), m_waiting.cend(), [](const Waiting &w) {
                            return isWarningNotice(w.message) && !w.quiet;
                        });
    }
    if (int(m_waiting.size()) >= kMaxWaiting) {
        m_waiting.pop_front();
        ++m_dropped;
    }
    m_waiting.push_back(std::move(message));
}

void TestControl::drain()
{
    while (!m_waiting.empty() && !m_handling && !m_modal.isOpen()) {
        const Waiting next = m_waiting.front();
        m_waiting.pop_front();
        handleOne(next);
    }
}

void TestControl::dropClosed()
{
    // A connection that closed gets no more answers; a new one is not answered for it.
    const auto before = m_waiting.size();
    std::erase_if(m_waiting,
                  [this](const Waiting &w) { return !m_connection.isOpen(w.connection); });
    m_dropped += int(before - m_waiting.size());
}

void TestControl::handleOne(const Waiting &arrival)
{
    ClientState &s = m_state;
    MainControls &ui = m_ui;
    const QString &message = arrival.message;
    struct Handling
    {
        bool &flag;
        bool before;
        ~Handling() { flag = before; }
    } handling{m_handling, m_handling};
    m_handling = true;

    const auto reply = [this, &arrival](const QString &text) {
        // The connection the message came on has closed: there is nobody to answer.
        if (!m_connection.isOpen(arrival.connection))
            return;
        if (!m_socket || !m_socket->sendData(text))
            throw HandlerError{kSendFailed};
    };

    try {
        const QString code = protocol::code(message);
        const QString body = protocol::body(message);

        if (code == protocol::kNewText) {
            const protocol::TestText text = protocol::parseTestText(body);
            if (text.kind == protocol::TextKind::RootPractice) {
                emit rootPractice(text.text);
                return;
            }
            if (const Status loaded = m_flow.loadText(text); !loaded.ok())
                throw HandlerError{loaded.error};
            reply(protocol::textLoaded());
        } else if (code == protocol::kTeacherMessage) {
            emit teacherMessage(body);
        } else if (code == protocol::kDuplicateLogin) {
            if (protocol::isDuplicateLogin(message) && !arrival.quiet) {
                m_warningShown = true;
                struct Shown
                {
                    bool &flag;
                    ~Shown() { flag = false; }
                } shown{m_warningShown};
                showMessage(m_dialogs, Dialogs::Warning, QStringLiteral("注意"),
                            QStringLiteral("注意：当前测试不允许重复登录，测试中请不要退出。"));
            }
            reply(protocol::duplicateAnswered());
        } else if (code == protocol::kEnvironment) {
            const protocol::Environment env = protocol::parseEnvironment(message);
            if (!env.rootsAllowed) {
                s.Zigen = false;
                ui.Pmid->show();
                ui.Pmid2->hide();
            } else {
                s.Zigen = true;
            }
            if (!env.hintsAllowed) {
                ui.cts->setChecked(false);
                emit hintsWithdrawn();
            }
            m_flow.setEnvironment(env.rootsAllowed, env.hintsAllowed);
            if (env.forbiddenList)
                emit forbiddenList(*env.forbiddenList);
        } else if (code == protocol::kInputMethods) {
            emit inputMethodRule(body);
            reply(protocol::inputMethodsDone());
        } else if (code == protocol::kTiming) {
            const protocol::Timing timing = protocol::parseTiming(body);
            if (timing.maxTime)
                s.MaxTime = *timing.maxTime;
            if (timing.hintDelay)
                s.NumHintDelay = *timing.hintDelay;
            if (!timing.error.isEmpty())
                throw HandlerError{timing.error};
            reply(protocol::timingDone());
        }
    } catch (const HandlerError &error) {
        showMessage(m_dialogs, Dialogs::Critical, applicationTitle(), error.description);
    }
}
