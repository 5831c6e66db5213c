#pragma once

#include "ServerSettings.h"
#include "core/Gbk.h"
#include "net/Protocol.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

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

    int id() const { return m_id; }
    // "address:port" of the client.
    QString peer() const;
    // The last report received, for the identity of the student at this computer.
    const std::optional<protocol::Report> &lastReport() const { return m_lastReport; }
    bool settingsDone() const { return m_step == Step::Done; }

    // Sends the settings, one after the other.
    void start();
    // Sends the script's text (if any) and schedules its teacher messages.
    void sendText();
    // Sends any message, as the write mode says.
    void send(const QString &message);
    // Closes the connection.
    void disconnectClient();

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
    void disconnected(int id);

private:
    enum class Step { NotStarted, Environment, InputMethods, Timing, Done };
    struct Chunk
    {
        QByteArray bytes;
        int pauseAfterMs = 0;
    };

    void readIncoming();
    void dispatch(const QString &message);
    void flushPending();
    void advanceSettings();
    void enqueue(const QByteArray &bytes, int pauseAfterMs);
    void writeQueued();

    int m_id;
    QTcpSocket *m_socket;
    const ServerSettings &m_settings;
    gbk::StreamDecoder m_decoder;
    QString m_pending;
    QTimer m_pendingTimer;
    Step m_step = Step::NotStarted;
    QTimer m_stepTimer;
    QList<Chunk> m_outgoing;
    QTimer m_writeTimer;
    QByteArray m_joined;
    unsigned m_textGeneration = 0;
    std::optional<protocol::Report> m_lastReport;
};
