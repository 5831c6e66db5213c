// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ClientSession.h"

#include "server/HostileStream.h"
#include "server/MessageSplitter.h"

#include <QTcpSocket>

namespace {

// A message named in a warning: its first characters only.
QString consoleText(const QString &message)
{
    return message.size() <= 40 ? message : message.left(40) + QStringLiteral("...");
}

// Longer unfinished text than this is no message of the client.
constexpr qsizetype kMaxPending = 2 * MessageSplitter::kMaxReportLength;

} // namespace

ClientSession::ClientSession(int id, QTcpSocket *socket, const ServerSettings &settings,
                             QObject *parent)
    : QObject(parent)
    , m_id(id)
    , m_socket(socket)
    , m_settings(settings)
{
    m_socket->setParent(this);
    // Small messages go out at once instead of waiting to be merged with the next one.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket->setReadBufferSize(std::max<qint64>(1024, m_settings.readBufferBytes));
    m_pendingTimer.setSingleShot(true);
    m_stepTimer.setSingleShot(true);
    m_writeTimer.setSingleShot(true);
    connect(m_socket, &QTcpSocket::readyRead, this, &ClientSession::readIncoming);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        flushPending();
        m_stepTimer.stop();
        m_writeTimer.stop();
        m_hostileTimer.stop();
        m_hostileReportTimer.stop();
        m_settleTimer.stop();
        emit disconnected(m_id);
    });
    connect(&m_pendingTimer, &QTimer::timeout, this, &ClientSession::flushPending);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] {
        if (m_step == Step::InputMethods || m_step == Step::Timing) {
            const QString code = m_step == Step::InputMethods
                                     ? QString::fromUtf16(protocol::kInputMethodsDone)
                                     : QString::fromUtf16(protocol::kTimingDone);
            emit warning(m_id, QStringLiteral("no reply %1 within %2 ms; going on")
                                   .arg(code)
                                   .arg(m_settings.replyTimeoutMs));
        }
        advanceSettings();
    });
    connect(&m_writeTimer, &QTimer::timeout, this, &ClientSession::writeQueued);
    m_hostileReportTimer.setInterval(1000);
    m_settleTimer.setSingleShot(true);
    connect(&m_hostileTimer, &QTimer::timeout, this, &ClientSession::sendHostileBurst);
    connect(&m_hostileReportTimer, &QTimer::timeout, this, &ClientSession::reportHostile);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        if (m_socket->state() == QTcpSocket::ConnectedState)
            start();
    });
}

ClientSession::~ClientSession() = default;

QString ClientSession::peer() const
{
    return QStringLiteral("%1:%2")
        .arg(m_socket->peerAddress().toString())
        .arg(m_socket->peerPort());
}

void ClientSession::start()
{
    beginSettings(AllParts);
}

bool ClientSession::sendChangedSettings()
{
    const TestScript &script = m_settings.script;
    int parts = 0;
    if (script.environmentMessage() != m_sentEnvironment)
        parts |= EnvironmentPart;
    if (script.inputMethodsMessage() != m_sentInputMethods)
        parts |= InputMethodsPart;
    if (script.timingMessage() != m_sentTiming)
        parts |= TimingPart;
    if (parts == 0)
        return false;
    beginSettings(parts);
    return true;
}

void ClientSession::beginSettings(int parts)
{
    const TestScript &script = m_settings.script;
    if (m_settings.writeMode == WriteMode::Join) {
        if (parts & EnvironmentPart)
            send(m_sentEnvironment = script.environmentMessage());
        if (parts & InputMethodsPart)
            send(m_sentInputMethods = script.inputMethodsMessage());
        if (parts & TimingPart)
            send(m_sentTiming = script.timingMessage());
        m_step = Step::Done;
        emit settingsSent(m_id);
        return;
    }
    m_parts = parts;
    m_step = Step::NotStarted;
    advanceSettings();
}

void ClientSession::advanceSettings()
{
    const TestScript &script = m_settings.script;
    m_stepTimer.stop();
    // The steps of this round in their order; those it does not send are passed over.
    for (;;) {
        switch (m_step) {
        case Step::NotStarted:
            m_step = Step::Environment;
            if (!(m_parts & EnvironmentPart))
                continue;
            send(m_sentEnvironment = script.environmentMessage());
            m_stepTimer.start(m_settings.environmentPauseMs);
            return;
        case Step::Environment:
            m_step = Step::InputMethods;
            if (!(m_parts & InputMethodsPart))
                continue;
            send(m_sentInputMethods = script.inputMethodsMessage());
            m_stepTimer.start(m_settings.replyTimeoutMs);
            return;
        case Step::InputMethods:
            m_step = Step::Timing;
            if (!(m_parts & TimingPart))
                continue;
            send(m_sentTiming = script.timingMessage());
            m_stepTimer.start(m_settings.replyTimeoutMs);
            return;
        case Step::Timing:
            m_step = Step::Done;
            emit settingsSent(m_id);
            if (std::exchange(m_textWaiting, false))
                sendText();
            return;
        case Step::Done:
            return;
        }
    }
}

void ClientSession::sendText()
{
    if (m_step == Step::Environment || m_step == Step::InputMethods || m_step == Step::Timing) {
        m_textWaiting = true;
        return;
    }
    const std::optional<QString> text = m_settings.script.textMessage();
    if (!text) {
        emit warning(m_id, QStringLiteral("the script has no text to send"));
        return;
    }
    send(*text);
    // A new text restarts the teacher's messages; those of the previous text are dropped.
    const unsigned generation = ++m_textGeneration;
    for (const TestScript::TimedMessage &message : m_settings.script.messages) {
        const QString wire = protocol::teacherMessage(message.text);
        if (message.seconds == 0) {
            send(wire);
            continue;
        }
        QTimer::singleShot(message.seconds * 1000, this, [this, generation, wire] {
            if (generation == m_textGeneration && m_socket->state() == QTcpSocket::ConnectedState)
                send(wire);
        });
    }
}

void ClientSession::send(const QString &message)
{
    if (m_hostile) {
        emit warning(m_id, QStringLiteral("hostile period: left out %1").arg(consoleText(message)));
        return;
    }
    const gbk::Encoded encoded = gbk::encode(message);
    if (!encoded.ok())
        emit warning(
            m_id,
            QStringLiteral("left out characters GBK cannot hold: %1").arg(encoded.unencodable));
    emit messageSent(m_id, message);
    const QByteArray &bytes = encoded.bytes;
    switch (m_settings.writeMode) {
    case WriteMode::Normal:
        enqueue(bytes, m_settings.messageGapMs);
        break;
    case WriteMode::Split:
        if (bytes.size() < 2) {
            enqueue(bytes, m_settings.splitPauseMs);
        } else {
            enqueue(bytes.left(bytes.size() / 2), m_settings.splitPauseMs);
            enqueue(bytes.mid(bytes.size() / 2), m_settings.splitPauseMs);
        }
        break;
    case WriteMode::Join:
        // Everything sent before control returns to the event loop goes out together.
        if (m_joined.isEmpty()) {
            QTimer::singleShot(0, this, [this] {
                const QByteArray joined = std::exchange(m_joined, {});
                enqueue(joined, m_settings.messageGapMs);
            });
        }
        m_joined += bytes;
        break;
    }
}

void ClientSession::enqueue(const QByteArray &bytes, int pauseAfterMs)
{
    if (bytes.isEmpty())
        return;
    m_outgoing.append({bytes, pauseAfterMs});
    if (!m_writeTimer.isActive())
        writeQueued();
}

void ClientSession::writeQueued()
{
    while (!m_outgoing.isEmpty()) {
        if (m_socket->state() != QTcpSocket::ConnectedState) {
            m_outgoing.clear();
            return;
        }
        const Chunk chunk = m_outgoing.takeFirst();
        m_socket->write(chunk.bytes);
        m_socket->flush();
        if (chunk.pauseAfterMs > 0) {
            m_writeTimer.start(chunk.pauseAfterMs);
            return;
        }
    }
}

void ClientSession::disconnectClient()
{
    m_socket->disconnectFromHost();
}

void ClientSession::readIncoming()
{
    m_pending += m_decoder.decode(m_socket->readAll());
    const MessageSplitter::Result result = MessageSplitter::split(m_pending);
    m_pending = result.rest;
    for (qsizetype i = 0; i < result.messages.size(); ++i) {
        if (result.recognised.at(i))
            dispatch(result.messages.at(i));
        else
            emit unrecognised(m_id, result.messages.at(i));
    }
    if (m_pending.size() > kMaxPending)
        flushPending();
    else if (!m_pending.isEmpty() || m_decoder.hasPending())
        m_pendingTimer.start(m_settings.pendingTimeoutMs);
    else
        m_pendingTimer.stop();
}

void ClientSession::flushPending()
{
    m_pendingTimer.stop();
    const QString text = std::exchange(m_pending, {}) + m_decoder.flush();
    if (!text.isEmpty())
        emit unrecognised(m_id, text);
}

void ClientSession::dispatch(const QString &message)
{
    emit messageReceived(m_id, message);
    const QString code = protocol::code(message);
    if (code == QString::fromUtf16(protocol::kProgressReport)) {
        if (const std::optional<protocol::Report> report = protocol::parseProgressReport(message)) {
            m_lastReport = report;
            emit progressReported(m_id, *report);
            return;
        }
    } else if (code == QString::fromUtf16(protocol::kEndReport)) {
        if (const std::optional<protocol::Report> report = protocol::parseEndReport(message)) {
            m_lastReport = report;
            emit endReported(m_id, *report);
            return;
        }
    } else {
        emit replyReceived(m_id, code);
        if ((code == QString::fromUtf16(protocol::kInputMethodsDone) &&
             m_step == Step::InputMethods) ||
            (code == QString::fromUtf16(protocol::kTimingDone) && m_step == Step::Timing))
            advanceSettings();
        if (code == QString::fromUtf16(protocol::kStartRequest)) {
            emit startRequested(m_id);
            if (m_settings.answerStartRequests)
                sendText();
        }
        return;
    }
    emit unrecognised(m_id, message);
}

bool ClientSession::isLoopback() const
{
    return m_socket->peerAddress().isLoopback();
}

void ClientSession::startHostile(quint32 seed)
{
    if (m_hostile)
        return;
    // Anything of the test still waiting is dropped: the period starts on a clean stream.
    m_stepTimer.stop();
    m_settleTimer.stop();
    m_step = Step::NotStarted;
    m_textWaiting = false;
    ++m_textGeneration;
    m_hostile = std::make_unique<HostileStream>(seed, quint32(m_id));
    m_hostileCounts = {};
    m_hostileTimer.start(std::max(1, m_settings.hostileBurstMs));
    m_hostileReportTimer.start();
    sendHostileBurst();
}

void ClientSession::endHostile()
{
    if (!m_hostile)
        return;
    m_hostileTimer.stop();
    m_hostileReportTimer.stop();
    reportHostile();
    m_hostile.reset();
    // What has not been written yet stays back; what the client has not read yet is its own.
    m_outgoing.clear();
    m_writeTimer.stop();
    m_settleTimer.start(m_settings.hostileSettleMs);
}

void ClientSession::sendHostileBurst()
{
    if (!m_hostile || m_socket->state() != QTcpSocket::ConnectedState)
        return;
    qint64 backlog = m_socket->bytesToWrite();
    for (const Chunk &chunk : std::as_const(m_outgoing))
        backlog += chunk.bytes.size();
    // A client that does not read is not buried: the server's memory stays bounded.
    if (backlog > m_settings.hostileBacklogBytes) {
        ++m_hostileCounts.skipped;
        return;
    }
    const HostileStream::Burst burst = m_hostile->next();
    ++m_hostileCounts.bursts;
    m_hostileCounts.writes += int(burst.writes.size());
    m_hostileCounts.bytes += burst.size();
    for (const QString &item : burst.items)
        ++m_hostileCounts.items[item];
    for (const HostileStream::Write &write : burst.writes)
        enqueue(write.bytes, write.pauseAfterMs);
}

void ClientSession::reportHostile()
{
    if (m_hostileCounts.bursts == 0 && m_hostileCounts.skipped == 0)
        return;
    QStringList items;
    for (auto it = m_hostileCounts.items.cbegin(); it != m_hostileCounts.items.cend(); ++it)
        items << QStringLiteral("%1 %2").arg(it.value()).arg(it.key());
    QString text = QStringLiteral("hostile: %1 bursts, %2 writes, %3 bytes (%4)")
                       .arg(m_hostileCounts.bursts)
                       .arg(m_hostileCounts.writes)
                       .arg(m_hostileCounts.bytes)
                       .arg(items.join(QStringLiteral(", ")));
    if (m_hostileCounts.skipped > 0)
        text += QStringLiteral("; %1 bursts left out, the client reads slowly")
                    .arg(m_hostileCounts.skipped);
    m_hostileCounts = {};
    emit hostileSummary(m_id, text);
}
