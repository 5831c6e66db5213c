#include "env/IBusInputMethods.h"

#include "env/BusCalls.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QHash>

namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kInterface = QStringLiteral("org.freedesktop.IBus");

QDBusMessage ibusCall(const QString &method, const QVariantList &arguments = {})
{
    return buscalls::methodCall(kService, kPath, kInterface, method, arguments);
}

struct EngineDescription
{
    QString name;
    QString longName;
};

// An engine description travels as a serialized IBusEngineDesc: the type name, attachments,
// then the engine's name and long name followed by fields the client does not need.
std::optional<EngineDescription> engineFrom(const QVariant &value)
{
    QVariant inner = value;
    if (inner.metaType() == QMetaType::fromType<QDBusVariant>())
        inner = qvariant_cast<QDBusVariant>(inner).variant();
    if (inner.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto argument = qvariant_cast<QDBusArgument>(inner);
    if (!argument.currentSignature().startsWith(QLatin1String("(sa{sv}ss")))
        return std::nullopt;
    QString type;
    QVariantMap attachments;
    EngineDescription engine;
    argument.beginStructure();
    argument >> type >> attachments >> engine.name >> engine.longName;
    argument.endStructure();
    if (type != QLatin1String("IBusEngineDesc"))
        return std::nullopt;
    return engine;
}

bool isKeyboardLayout(const QString &id)
{
    return id.startsWith(QLatin1String("xkb:"));
}

} // namespace

IBusInputMethods::IBusInputMethods(const QDBusConnection &bus, EngineNames preloadEngines,
                                   QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_preloadEngines(std::move(preloadEngines))
{
    // The daemon is the bus itself here and sends its signals under its own name, so any
    // sender is accepted.
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("GlobalEngineChanged"), this,
                  SLOT(globalEngineChanged(QString)));
    m_active = readGlobalEngine();
}

QString IBusInputMethods::readGlobalEngine()
{
    const QDBusMessage reply =
        buscalls::callAndWait(m_bus, ibusCall(QStringLiteral("GetGlobalEngine")));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const std::optional<EngineDescription> engine = engineFrom(reply.arguments().constFirst());
    return engine ? engine->name : QString();
}

InputMethodListing IBusInputMethods::read()
{
    QStringList names = m_preloadEngines ? m_preloadEngines() : QStringList();
    const QString global = readGlobalEngine();
    if (!m_bus.isConnected())
        return {{}, QStringLiteral("ibus: the bus is gone")};
    m_active = global;
    // Without preferences the engine in use is all the student has set up.
    if (names.isEmpty() && !global.isEmpty())
        names << global;

    const QDBusMessage reply =
        buscalls::callAndWait(m_bus, ibusCall(QStringLiteral("GetEnginesByNames"), {names}));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        reply.arguments().constFirst().metaType() != QMetaType::fromType<QDBusArgument>())
        return {{}, QStringLiteral("ibus: the engines could not be read: ") + reply.errorMessage()};

    QHash<QString, QString> longNames;
    const auto engines = qvariant_cast<QDBusArgument>(reply.arguments().constFirst());
    if (engines.currentSignature() != QLatin1String("av"))
        return {{}, QStringLiteral("ibus: unexpected engine list ") + engines.currentSignature()};
    engines.beginArray();
    while (!engines.atEnd()) {
        QDBusVariant element;
        engines >> element;
        if (const std::optional<EngineDescription> engine = engineFrom(element.variant()))
            longNames.insert(engine->name, engine->longName);
    }
    engines.endArray();

    // The preferences' order; engines that are not installed any more are left out.
    InputMethodListing listing;
    for (const QString &name : std::as_const(names)) {
        const auto found = longNames.constFind(name);
        if (found == longNames.constEnd())
            continue;
        listing.entries.append({name, isKeyboardLayout(name) ? QString() : found.value()});
    }
    return listing;
}

void IBusInputMethods::activate(const QString &id)
{
    if (id.isEmpty() || id == m_active || id == m_switching)
        return;
    m_switching = id;
    const QDBusPendingCall call =
        m_bus.asyncCall(ibusCall(QStringLiteral("SetGlobalEngine"), {id}), buscalls::kTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, id](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (m_switching == id)
                    m_switching.clear();
                // The daemon's signal usually comes first; a switch it refused changes nothing.
                if (!w->isError() && m_active != id) {
                    m_active = id;
                    emit activeSeen(id);
                }
                emit settled();
            });
}

void IBusInputMethods::globalEngineChanged(const QString &id)
{
    m_active = id;
    emit activeSeen(id);
}
