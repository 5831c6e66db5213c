// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Gbk.h"
#include "net/Protocol.h"
#include "server/ServerSettings.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>

#include <memory>

class HostileStream;
class QTcpSocket;

// One connected client: sends it the settings, answers its start request with the text,
// schedules the teacher's messages and reads its replies and reports.
//
// On connect (start()) the settings go out in order: "0100", then after a short pause "0009",
// then, after the client's "1008", "0008", to which the client answers "1010". A reply that does
// not come within the reply timeout is reported by warning() and the next setting follows. In
// Join mode the three settings go out together in one write.
class ClientSession : public QObject
{
    Q_OBJECT
public:
    ClientSession(int id, QTcpSocket *socket, const ServerSettings &settings,
                  QObject *parent = nullptr);
    ~ClientSession() override;

    int id() const { return m_id; }
    // "address:port" of the client.
    QString peer() const;
    // The last report received, for the identity of the student at this computer.
    const std::optional<protocol::Report> &lastReport() const { return m_lastReport; }
    bool settingsDone() const { return m_step == Step::Done; }

    // Sends the settings, one after the other.
    void start();
    // Sends those of the settings that differ from what this client was sent last, in the same
    // order and with the same waits as start(). False when nothing differed (nothing is sent).
    bool sendChangedSettings();
    // Sends the script's text (if any) and schedules its teacher messages. While settings are
    // still going out, the text follows once they are done, so the client has the test's time
    // limit before its text.
    void sendText();
    // Sends any message, as the write mode says.
    void send(const QString &message);
    // Closes the connection.
    void disconnectClient();

    // Hostile mode: from now on the client gets bursts of HostileStream instead of the test's
    // messages (those, a start request's text included, are left out until the end). Ending it
    // drops what has not gone out yet and, after a pause, sends the settings again, so the
    // client is back in a known state and can run a normal test.
    void startHostile(quint32 seed);
    void endHostile();
    bool isHostile() const { return m_hostile != nullptr; }
    bool isLoopback() const;

signals:
    void messageReceived(int id, const QString &message);
    void replyReceived(int id, const QString &code);
    void startRequested(int id);
    void progressReported(int id, const protocol::Report &report);
    void endReported(int id, const protocol::Report &report);
    // Text that is no message of the client (bad bytes, a cut message, a message too long).
    void unrecognised(int id, const QString &text);
    void messageSent(int id, const QString &message);
    void settingsSent(int id);
    void warning(int id, const QString &text);
    // Once a second in hostile mode: what went out in that second.
    void hostileSummary(int id, const QString &text);
    void disconnected(int id);

private:
    enum class Step { NotStarted, Environment, InputMethods, Timing, Done };
    // Which settings a round sends (start(): all of them).
    enum Part { EnvironmentPart = 1, InputMethodsPart = 2, TimingPart = 4, AllParts = 7 };
    struct Chunk
    {
        QByteArray bytes;
        int pauseAfterMs = 0;
    };

    void readIncoming();
    void dispatch(const QString &message);
    void flushPending();
    void advanceSettings();
    void beginSettings(int parts);
    void enqueue(const QByteArray &bytes, int pauseAfterMs);
    void writeQueued();
    void sendHostileBurst();
    void reportHostile();

    int m_id;
    QTcpSocket *m_socket;
    const ServerSettings &m_settings;
    gbk::StreamDecoder m_decoder;
    QString m_pending;
    QTimer m_pendingTimer;
    Step m_step = Step::NotStarted;
    int m_parts = AllParts;
    bool m_textWaiting = false;
    // The last settings messages this client was sent.
    QString m_sentEnvironment;
    QString m_sentInputMethods;
    QString m_sentTiming;
    QTimer m_stepTimer;
    QList<Chunk> m_outgoing;
    QTimer m_writeTimer;
    QByteArray m_joined;
    unsigned m_textGeneration = 0;
    std::optional<protocol::Report> m_lastReport;

    struct HostileCounts
    {
        int bursts = 0;
        int writes = 0;
        qint64 bytes = 0;
        int skipped = 0; // bursts left out because the client did not read fast enough
        QMap<QString, int> items;
    };
    std::unique_ptr<HostileStream> m_hostile;
    QTimer m_hostileTimer;
    QTimer m_hostileReportTimer;
    QTimer m_settleTimer;
    HostileCounts m_hostileCounts;
};
