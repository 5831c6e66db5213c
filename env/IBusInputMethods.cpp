// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/IBusInputMethods.h"

#include "env/BusCalls.h"
#include "env/ChineseNames.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QHash>

#include <optional>

namespace {

const QString kService = QStringLiteral("org.freedesktop.IBus");
const QString kPath = QStringLiteral("/org/freedesktop/IBus");
const QString kInterface = QStringLiteral("org.freedesktop.IBus");

QDBusMessage ibusCall(const QString &method, const QVariantList &arguments = {})
{
    return buscalls::methodCall(kService, kPath, kInterface, method, arguments);
}

// An engine description travels as a serialized IBusEngineDesc: the type name, attachments,
// then texts and one number in a fixed order (name, long name, description, language,
// licence, author, icon, layout, rank, hot keys, symbol, setup, layout variant, layout option,
// version, text domain, ...). Older daemons send fewer of them.
std::optional<IBusInputMethods::Engine> engineFrom(const QVariant &value)
{
    QVariant inner = value;
    if (inner.metaType() == QMetaType::fromType<QDBusVariant>())
        inner = qvariant_cast<QDBusVariant>(inner).variant();
    if (inner.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto argument = qvariant_cast<QDBusArgument>(inner);
    const QString signature = argument.currentSignature();
    const QLatin1String prefix("(sa{sv}");
    if (!signature.startsWith(prefix) || !signature.endsWith(u')'))
        return std::nullopt;
    const QStringView fields = QStringView(signature).mid(prefix.size()).chopped(1);
    QString type;
    QVariantMap attachments;
    argument.beginStructure();
    argument >> type >> attachments;
    QStringList texts; // the text fields in order, the number left out as an empty text
    for (const QChar field : fields) {
        if (field == u's') {
            QString text;
            argument >> text;
            texts << text;
        } else if (field == u'u') {
            uint number = 0;
            argument >> number;
            texts << QString();
        } else {
            break; // a field of a kind this client does not know ends what it reads
        }
    }
    argument.endStructure();
    if (type != QLatin1String("IBusEngineDesc") || texts.size() < 2)
        return std::nullopt;
    IBusInputMethods::Engine engine;
    engine.name = texts.at(0);
    engine.longName = texts.at(1);
    engine.layout = texts.value(7);
    engine.layoutVariant = texts.value(12);
    engine.textDomain = texts.value(15);
    return engine;
}

// The engines of a reply holding an array of variants.
std::optional<QList<IBusInputMethods::Engine>> enginesFrom(const QVariant &value)
{
    QVariant inner = value;
    if (inner.metaType() == QMetaType::fromType<QDBusVariant>())
        inner = qvariant_cast<QDBusVariant>(inner).variant();
    if (inner.metaType() != QMetaType::fromType<QDBusArgument>())
        return std::nullopt;
    const auto engines = qvariant_cast<QDBusArgument>(inner);
    if (engines.currentSignature() != QLatin1String("av"))
        return std::nullopt;
    QList<IBusInputMethods::Engine> result;
    engines.beginArray();
    while (!engines.atEnd()) {
        QDBusVariant element;
        engines >> element;
        if (const std::optional<IBusInputMethods::Engine> engine = engineFrom(element.variant()))
            result.append(*engine);
    }
    engines.endArray();
    return result;
}

bool isKeyboardLayout(const QString &id)
{
    return id.startsWith(QLatin1String("xkb:"));
}

} // namespace

IBusInputMethods::IBusInputMethods(const QDBusConnection &bus, SetupReader setup,
                                   QStringList dataFolders, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_setup(std::move(setup))
    , m_dataFolders(std::move(dataFolders))
{
    // The daemon is the bus itself here and sends its signals under its own name, so any
    // sender is accepted.
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("GlobalEngineChanged"), this,
                  SLOT(globalEngineChanged(QString)));
}

QString IBusInputMethods::readGlobalEngine()
{
    const QDBusMessage reply =
        buscalls::callAndWait(m_bus, ibusCall(QStringLiteral("GetGlobalEngine")));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const std::optional<Engine> engine = engineFrom(reply.arguments().constFirst());
    return engine ? engine->name : QString();
}

QString IBusInputMethods::describe(const Engine &engine) const
{
    if (isKeyboardLayout(engine.name))
        return {};
    if (std::optional<QString> table = chinesenames::ibusTable(engine.name, m_dataFolders))
        return *table;
    if (std::optional<QString> translated =
            chinesenames::translated(engine.longName, engine.textDomain, m_dataFolders))
        return *translated;
    return engine.longName;
}

// IBus's preferences, else GNOME's input sources, else the engine in use: all the student
// has set up.
QStringList IBusInputMethods::engineNames(const IBusSetup &setup, const QString &global)
{
    if (!setup.preloadEngines.isEmpty())
        return setup.preloadEngines;
    QStringList names;
    bool keyboards = false;
    for (const auto &[type, id] : setup.inputSources) {
        if (type == QLatin1String("ibus"))
            names << id;
        else if (type == QLatin1String("xkb"))
            keyboards = true;
    }
    if (keyboards) {
        // GNOME names a keyboard source by its layout ("us", "de+nodeadkeys"); IBus has an
        // engine for each layout. Only the daemon knows their names.
        const QDBusMessage reply = buscalls::callAndWait(
            m_bus,
            buscalls::methodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("Get"), {kInterface, QStringLiteral("Engines")}));
        const std::optional<QList<Engine>> all = reply.arguments().isEmpty()
                                                     ? std::nullopt
                                                     : enginesFrom(reply.arguments().constFirst());
        names.clear();
        for (const auto &[type, id] : setup.inputSources) {
            if (type == QLatin1String("ibus")) {
                names << id;
                continue;
            }
            if (type != QLatin1String("xkb") || !all)
                continue;
            const QString layout = id.section(u'+', 0, 0);
            const QString variant = id.section(u'+', 1);
            for (const Engine &engine : *all) {
                if (isKeyboardLayout(engine.name) && engine.layout == layout &&
                    engine.layoutVariant == variant) {
                    names << engine.name;
                    break;
                }
            }
        }
    }
    if (names.isEmpty() && !global.isEmpty())
        names << global;
    names.removeDuplicates();
    return names;
}

InputMethodListing IBusInputMethods::read()
{
    const IBusSetup setup = m_setup ? m_setup() : IBusSetup();
    const QString global = readGlobalEngine();
    if (!m_bus.isConnected())
        return {{}, QStringLiteral("ibus: the bus is gone")};
    m_active = global;
    const QStringList names = engineNames(setup, global);

    const QDBusMessage reply =
        buscalls::callAndWait(m_bus, ibusCall(QStringLiteral("GetEnginesByNames"), {names}));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {{}, QStringLiteral("ibus: the engines could not be read: ") + reply.errorMessage()};
    const std::optional<QList<Engine>> engines = enginesFrom(reply.arguments().constFirst());
    if (!engines)
        return {{}, QStringLiteral("ibus: unexpected engine list ") + reply.signature()};
    QHash<QString, Engine> byName;
    for (const Engine &engine : *engines)
        byName.insert(engine.name, engine);

    // The preferences' order; engines that are not installed any more are left out.
    InputMethodListing listing;
    for (const QString &name : names) {
        const auto found = byName.constFind(name);
        if (found != byName.constEnd())
            listing.entries.append({name, describe(found.value())});
    }
    return listing;
}

void IBusInputMethods::activate(const QString &id)
{
    if (!m_bus.isConnected()) {
        // Whatever was active belonged to the daemon that went away.
        m_active.clear();
        return;
    }
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
