// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Gbk.h"
#include "net/Protocol.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>

// A student's computer as the server sees it: answers the settings and the text as the client
// does, sends the client's reports (built by the client's own protocol functions) over TCP, and
// keeps the typing box's lock as the client keeps it: locked until start is pressed, locked
// again when its test ends (end button, whole text typed, own time limit). A text that arrives
// while the box is locked is one the student cannot type: counted in textsWhileLocked.
//
// The server writes one message at a time with a pause after each, so a read is one message.
class SimulatedStudent : public QObject
{
public:
    SimulatedStudent(quint16 port, const QString &number, const QString &computer,
                     const QString &name = {})
        : number(number)
        , computer(computer)
        , name(name.isEmpty() ? QStringLiteral("学生") + number : name)
    {
        connect(&socket, &QTcpSocket::readyRead, this, &SimulatedStudent::read);
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!socket.waitForConnected(5000))
            qWarning("student %s could not connect", qPrintable(number));
    }

    void send(const QString &message)
    {
        socket.write(gbk::encode(message).bytes);
        socket.flush();
    }
    // The start button: "1009", the box opens.
    void pressStart()
    {
        locked = false;
        send(protocol::startRequest());
    }
    protocol::Report progress(int time, int typed, int right, const QString &errors = {}) const
    {
        protocol::Report report;
        report.xuehao = number;
        report.name = name;
        report.banji = QStringLiteral("三班");
        report.totalTime = time;
        report.txtCount = textLength;
        report.inputCount = typed;
        report.right = right;
        report.backspaces = 1;
        report.inputMethod = QStringLiteral("英语（美国）");
        report.computer = computer;
        report.errChars = errors;
        return report;
    }
    // A progress report; one that completes the text or reaches the time limit is the last
    // one of the test, as the client sends it, and locks the box.
    void sendProgress(const protocol::Report &report)
    {
        lastProgress = report;
        send(protocol::progressReport(report));
        if ((report.txtCount > 0 && report.inputCount >= report.txtCount) ||
            (timeLimit > 0 && report.totalTime >= timeLimit * 60))
            locked = true;
    }
    // The end button.
    void sendEnd(const protocol::Report &report)
    {
        lastEnd = report;
        send(protocol::endReport(report));
        locked = true;
    }

    QTcpSocket socket;
    QString number;
    QString computer;
    QString name;
    QString received;
    QStringList timings; // every "0008" body received
    int timeLimit = 0;
    int textLength = 0;
    int texts = 0;
    int textsWhileLocked = 0;
    bool locked = true;
    bool gotText = false;
    int duplicateNotices = 0;
    int probes = 0; // "0011" with "0"
    QStringList messages;
    protocol::Report lastProgress;
    protocol::Report lastEnd;

private:
    void read()
    {
        const QString text = decoder.decode(socket.readAll());
        received += text;
        const QString code = text.left(4);
        if (code == u"0009") {
            send(protocol::inputMethodsDone());
        } else if (code == u"0008") {
            timings << text.mid(4);
            timeLimit = text.mid(4).section(u'|', 0, 0).toInt();
            send(protocol::timingDone());
        } else if (code == u"0010") {
            textLength = int(protocol::parseTestText(text.mid(4)).text.size());
            ++texts;
            if (locked)
                ++textsWhileLocked;
            gotText = true;
            send(protocol::textLoaded());
        } else if (code == u"0011") {
            if (protocol::isDuplicateLogin(text))
                ++duplicateNotices;
            else
                ++probes;
            send(protocol::duplicateAnswered());
        } else if (code == u"0099") {
            messages << text.mid(4);
        }
    }
    gbk::StreamDecoder decoder;
};
