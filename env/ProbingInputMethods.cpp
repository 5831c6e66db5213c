#include "env/ProbingInputMethods.h"

#include "env/BusCalls.h"
#include "env/Fcitx5FrontendCheck.h"
#include "env/Fcitx5InputMethods.h"
#include "env/IBusAddress.h"
#include "env/IBusInputMethods.h"
#include "env/IBusPreloadEngines.h"
#include "env/PlainInputMethods.h"

#include <QCoreApplication>

namespace {
const QString kIBusConnection = QStringLiteral("client-ibus");
}

ProbingInputMethods::ProbingInputMethods(const QDBusConnection &sessionBus,
                                         QProcessEnvironment environment)
    : m_sessionBus(sessionBus)
    , m_environment(std::move(environment))
{
    probe();
}

ProbingInputMethods::~ProbingInputMethods()
{
    m_current.reset();
    dropIBusConnection();
}

void ProbingInputMethods::probe()
{
    if (probeFcitx5() || probeIBus())
        return;
    if (!dynamic_cast<PlainInputMethods *>(m_current.get())) {
        m_current = std::make_unique<PlainInputMethods>();
        dropIBusConnection();
    }
}

bool ProbingInputMethods::probeFcitx5()
{
    if (buscalls::nameHasOwner(m_sessionBus, Fcitx5InputMethods::serviceName()) != true)
        return false;
    if (!dynamic_cast<Fcitx5InputMethods *>(m_current.get())) {
        m_current = std::make_unique<Fcitx5InputMethods>(m_sessionBus);
        dropIBusConnection();
    }
    return true;
}

bool ProbingInputMethods::probeIBus()
{
    const std::optional<QString> address =
        IBusAddress::find(m_environment, QString::fromLatin1(QDBusConnection::localMachineId()));
    if (!address)
        return false;
    auto *ibus = dynamic_cast<IBusInputMethods *>(m_current.get());
    if (ibus && *address == m_ibusAddress && ibus->bus().isConnected())
        return true;

    // A new or restarted daemon: connect afresh.
    m_current.reset();
    dropIBusConnection();
    QDBusConnection bus = QDBusConnection::connectToBus(*address, kIBusConnection);
    // The daemon owns its own name on its bus; a stale address file leads nowhere.
    if (buscalls::nameHasOwner(bus, QStringLiteral("org.freedesktop.IBus")) != true) {
        QDBusConnection::disconnectFromBus(kIBusConnection);
        return false;
    }
    m_ibusAddress = *address;
    m_current = std::make_unique<IBusInputMethods>(bus, &IBusPreloadEngines::read);
    return true;
}

void ProbingInputMethods::dropIBusConnection()
{
    if (m_ibusAddress.isEmpty() && !QDBusConnection(kIBusConnection).isConnected())
        return;
    QDBusConnection::disconnectFromBus(kIBusConnection);
    m_ibusAddress.clear();
}

InputMethodListing ProbingInputMethods::read()
{
    probe();
    return m_current->read();
}

void ProbingInputMethods::activate(const QString &id)
{
    m_current->activate(id);
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
    const bool fcitx5Running =
        buscalls::nameHasOwner(m_sessionBus, Fcitx5InputMethods::serviceName()) == true;
    return Fcitx5FrontendCheck::missingPluginMessage(module, fcitx5Running,
                                                     QCoreApplication::libraryPaths())
        .value_or(QString());
}
