// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/ProbingInputMethods.h"

#include "env/BusCalls.h"
#include "env/ChineseNames.h"
#include "env/Fcitx4InputMethods.h"
#include "env/Fcitx5InputMethods.h"
#include "env/FrontendCheck.h"
#include "env/IBusAddress.h"
#include "env/IBusInputMethods.h"
#include "env/IBusSetup.h"
#include "env/PlainInputMethods.h"

#include <QCoreApplication>
#include <QDBusServiceWatcher>
#include <QFutureWatcher>
#include <QPromise>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace {
const QString kIBusName = QStringLiteral("org.freedesktop.IBus");
} // namespace

// One look for the frameworks, made on a thread of its own.
struct ProbeJob
{
    enum Kind { None, Fcitx5, Fcitx4, IBus, SameIBus };

    // What the look is given.
    QDBusConnection sessionBus{QString()};
    QProcessEnvironment environment;
    QString currentIBusAddress; // the bus in use, when it is still connected
    QString connectionName;     // the name a new IBus connection gets

    // What it found.
    Kind kind = None;
    QString ibusAddress;

    std::mutex mutex;
    std::condition_variable doneSignal;
    bool done = false;
    bool abandoned = false; // nobody takes the result: a new connection is closed again
    QPromise<void> promise;

    void run()
    {
        find();
        std::lock_guard lock(mutex);
        done = true;
        if (abandoned && kind == IBus)
            QDBusConnection::disconnectFromBus(connectionName);
        doneSignal.notify_all();
        promise.finish();
    }

    void find()
    {
        if (buscalls::nameHasOwner(sessionBus, Fcitx5InputMethods::serviceName()) == true) {
            kind = Fcitx5;
            return;
        }
        if (buscalls::nameHasOwner(sessionBus, Fcitx4InputMethods::serviceName()) == true) {
            kind = Fcitx4;
            return;
        }
        const std::optional<QString> address =
            IBusAddress::find(environment, QString::fromLatin1(QDBusConnection::localMachineId()));
        if (!address)
            return;
        if (*address == currentIBusAddress) {
            kind = SameIBus;
            ibusAddress = *address;
            return;
        }
        // This may wait as long as libdbus lets it; the reader waits for it kProbeWaitMs.
        QDBusConnection bus = QDBusConnection::connectToBus(*address, connectionName);
        // The daemon owns its own name on its bus; a stale address file leads nowhere.
        if (buscalls::nameHasOwner(bus, kIBusName) != true) {
            QDBusConnection::disconnectFromBus(connectionName);
            return;
        }
        kind = IBus;
        ibusAddress = *address;
    }
};

namespace {

// Nobody takes the job's result: a connection it made is closed, now or when it ends.
void abandon(ProbeJob &job)
{
    std::lock_guard lock(job.mutex);
    job.abandoned = true;
    if (job.done && job.kind == ProbeJob::IBus)
        QDBusConnection::disconnectFromBus(job.connectionName);
}

} // namespace

ProbingInputMethods::ProbingInputMethods(const QDBusConnection &sessionBus,
                                         QProcessEnvironment environment)
    : m_sessionBus(sessionBus)
    , m_environment(std::move(environment))
    , m_current(std::make_unique<PlainInputMethods>())
{
    if (m_sessionBus.isConnected()) {
        // A daemon that starts, stops or is replaced changes the owner of its name.
        m_watcher = new QDBusServiceWatcher(this);
        m_watcher->setConnection(m_sessionBus);
        m_watcher->setWatchMode(QDBusServiceWatcher::WatchForOwnerChange);
        m_watcher->setWatchedServices(
            {Fcitx5InputMethods::serviceName(), Fcitx4InputMethods::serviceName(), kIBusName});
        connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
                [this] { m_ownerChanged = true; });
    }
    probe();
}

ProbingInputMethods::~ProbingInputMethods()
{
    if (m_pending)
        abandon(*m_pending);
    m_current.reset();
    dropIBusConnection();
}

std::shared_ptr<ProbeJob> ProbingInputMethods::startJob()
{
    auto job = std::make_shared<ProbeJob>();
    job->sessionBus = m_sessionBus;
    job->environment = m_environment;
    auto *ibus = dynamic_cast<IBusInputMethods *>(m_current.get());
    if (ibus && ibus->alive() && !m_ownerChanged)
        job->currentIBusAddress = m_ibusAddress;
    job->connectionName = QStringLiteral("client-ibus-%1").arg(++m_connections);
    job->promise.start();
    std::thread([job] { job->run(); }).detach();
    return job;
}

void ProbingInputMethods::adopt(const ProbeJob &job)
{
    // A daemon that changed owner is a new one, whatever its name.
    const bool restarted = std::exchange(m_ownerChanged, false);
    switch (job.kind) {
    case ProbeJob::Fcitx5:
        if (!dynamic_cast<Fcitx5InputMethods *>(m_current.get()) || restarted) {
            m_current = std::make_unique<Fcitx5InputMethods>(m_sessionBus);
            dropIBusConnection();
        }
        break;
    case ProbeJob::Fcitx4:
        m_current = std::make_unique<Fcitx4InputMethods>(
            m_sessionBus,
            chinesenames::dataFolders(
                m_environment,
                {m_environment.value(QStringLiteral("FCITXDIR")) + QStringLiteral("/share")}) +
                QStringList{m_environment.value(QStringLiteral("XDG_CONFIG_HOME"),
                                                m_environment.value(QStringLiteral("HOME")) +
                                                    QStringLiteral("/.config"))});
        dropIBusConnection();
        break;
    case ProbeJob::SameIBus:
        break;
    case ProbeJob::IBus:
        // A new or restarted daemon: everything known about the old one goes.
        m_current.reset();
        dropIBusConnection();
        m_ibusAddress = job.ibusAddress;
        m_ibusConnection = job.connectionName;
        m_current = std::make_unique<IBusInputMethods>(QDBusConnection(job.connectionName),
                                                       &IBusSetup::read,
                                                       chinesenames::dataFolders(m_environment));
        break;
    case ProbeJob::None:
        if (!dynamic_cast<PlainInputMethods *>(m_current.get())) {
            m_current = std::make_unique<PlainInputMethods>();
            dropIBusConnection();
        }
        break;
    }
}

void ProbingInputMethods::probe()
{
    if (m_pending) {
        // A background look is on its way: this one takes its place.
        abandon(*m_pending);
        m_pending.reset();
    }
    const std::shared_ptr<ProbeJob> job = startJob();
    std::unique_lock lock(job->mutex);
    if (!job->doneSignal.wait_for(lock, std::chrono::milliseconds(kProbeWaitMs),
                                  [&job] { return job->done; })) {
        // A framework that holds up the look counts as none; its connection is closed when
        // the look ends.
        job->abandoned = true;
        lock.unlock();
        ProbeJob none;
        adopt(none);
        return;
    }
    lock.unlock();
    adopt(*job);
}

void ProbingInputMethods::dropIBusConnection()
{
    if (m_ibusConnection.isEmpty())
        return;
    QDBusConnection::disconnectFromBus(m_ibusConnection);
    m_ibusConnection.clear();
    m_ibusAddress.clear();
}

InputMethodListing ProbingInputMethods::read()
{
    m_lost.invalidate();
    probe();
    return m_current->read();
}

bool ProbingInputMethods::currentIsStale() const
{
    if (m_ownerChanged)
        return true;
    // A framework went away and none answered since: a restarting daemon takes a moment.
    if (m_lost.isValid() && m_lost.elapsed() >= kLookAgainMs)
        return true;
    const auto *ibus = dynamic_cast<const IBusInputMethods *>(m_current.get());
    return ibus && !ibus->alive();
}

void ProbingInputMethods::activate(const QString &id)
{
    if (!currentIsStale() && !m_pending) {
        m_current->activate(id);
        return;
    }
    m_wanted = id;
    if (m_pending)
        return;
    m_pending = startJob();
    auto *watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, job = m_pending] {
        watcher->deleteLater();
        if (m_pending != job)
            return; // a read looked meanwhile and took its own result
        m_pending.reset();
        const bool hadFramework = !dynamic_cast<PlainInputMethods *>(m_current.get());
        adopt(*job);
        if (job->kind == ProbeJob::None && (hadFramework || m_lost.isValid()))
            m_lost.start();
        else
            m_lost.invalidate();
        emit frameworkChanged(m_current->framework());
        m_current->activate(m_wanted);
    });
    watcher->setFuture(m_pending->promise.future());
}

QString ProbingInputMethods::active() const
{
    return m_current->active();
}

QString ProbingInputMethods::framework() const
{
    return m_current->framework();
}

QString ProbingInputMethods::setupProblem() const
{
    const QString module = m_environment.value(QStringLiteral("QT_IM_MODULE"));
    return FrontendCheck::missingPluginMessage(m_current->framework(), module,
                                               QCoreApplication::libraryPaths())
        .value_or(QString());
}
