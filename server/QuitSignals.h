// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a signal of the event loop, so that a console stopped
// by the system, by Ctrl+C or by a closed terminal writes its results before it goes. The
// handler only writes one byte into a pipe; everything else runs in the event loop.
class QuitSignals : public QObject
{
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void received(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};
