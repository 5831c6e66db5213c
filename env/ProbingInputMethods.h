// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QProcessEnvironment>

#include <memory>

class QDBusServiceWatcher;
struct ProbeJob;

// The framework the student's desktop runs, looked for again at every read: fcitx5 on the
// session bus first (its IBus frontend imitates IBus, so asking IBus first could find fcitx5
// in disguise), then fcitx 4, then an IBus daemon, else the plain keyboard. Looking never
// starts a framework. Between reads the framework found last serves the activations.
//
// A framework that restarts or is replaced meanwhile (a daemon's name changes owner, or IBus's
// own bus closes) is looked for again at the next activation, in the background: the
// keystroke that found the change waits for nothing, and the one wanted then is activated on
// the daemon found. Connecting to IBus's bus happens on a thread of its own, so a daemon that
// accepts the connection and never answers holds up a read at most kProbeWaitMs.
class ProbingInputMethods final : public QObject, public InputMethodService
{
    Q_OBJECT
public:
    // How long a read waits for the frameworks to be found.
    static constexpr int kProbeWaitMs = 3000;
    // How often activations look again for a framework that went away.
    static constexpr int kLookAgainMs = 500;

    explicit ProbingInputMethods(
        const QDBusConnection &sessionBus = QDBusConnection::sessionBus(),
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
    ~ProbingInputMethods() override;

    InputMethodListing read() override;
    void activate(const QString &id) override;
    QString active() const override;
    QString framework() const override;
    // What keeps Chinese input from this client under the framework found last (its Qt 6
    // plugin, QT_IM_MODULE).
    QString setupProblem() const override;

    // The framework in use now (its own signals are there for tests and the benchmark).
    InputMethodService *current() const { return m_current.get(); }
    // True while frameworks are looked for in the background.
    bool probing() const { return bool(m_pending); }

    // Looks for a framework now and takes it, without reading its list.
    void probe();

signals:
    // A framework was taken after a background look (tests and the benchmark wait for it).
    void frameworkChanged(const QString &framework);

private:
    std::shared_ptr<ProbeJob> startJob();
    void adopt(const ProbeJob &job);
    bool currentIsStale() const;
    void dropIBusConnection();

    QDBusConnection m_sessionBus;
    QProcessEnvironment m_environment;
    std::unique_ptr<InputMethodService> m_current;
    QDBusServiceWatcher *m_watcher = nullptr;
    bool m_ownerChanged = false;
    QString m_ibusAddress;               // the address of the IBus bus in use, empty when none
    QString m_ibusConnection;            // its connection's name
    int m_connections = 0;               // connection names are never reused
    std::shared_ptr<ProbeJob> m_pending; // a background look on its way
    QString m_wanted;                    // what to activate when it ends
    QElapsedTimer m_lost; // running since a framework went away and none was found again
};
