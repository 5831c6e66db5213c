#include "env/Fcitx5InputMethods.h"

#include "env/BusCalls.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHash>

namespace {

const QString kPath = QStringLiteral("/controller");
const QString kInterface = QStringLiteral("org.fcitx.Fcitx.Controller1");

QDBusMessage controllerCall(const QString &method, const QVariantList &arguments = {})
{
    return buscalls::methodCall(Fcitx5InputMethods::serviceName(), kPath, kInterface, method,
                                arguments);
}

// What the daemon tells about one input method it has.
struct Described
{
    QString name;
    QString nativeName;
};

bool isKeyboardLayout(const QString &id)
{
    return id.startsWith(QLatin1String("keyboard-"));
}

// The argument at index as a D-Bus structure list, or nothing when the reply has another shape.
const QDBusArgument *argumentAt(const QDBusMessage &reply, int index, const char *signature)
{
    if (reply.arguments().size() <= index)
        return nullptr;
    const QVariant &value = reply.arguments().at(index);
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return nullptr;
    const auto *argument = static_cast<const QDBusArgument *>(value.constData());
    return argument->currentSignature() == QLatin1String(signature) ? argument : nullptr;
}

} // namespace

QString Fcitx5InputMethods::serviceName()
{
    return QStringLiteral("org.fcitx.Fcitx5");
}

Fcitx5InputMethods::Fcitx5InputMethods(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{}

InputMethodListing Fcitx5InputMethods::read()
{
    using buscalls::callAndWait;
    const buscalls::TextReply group = buscalls::firstText(
        callAndWait(m_bus, controllerCall(QStringLiteral("CurrentInputMethodGroup"))));
    if (!group.ok())
        return {{}, QStringLiteral("fcitx5: ") + group.error};

    const QDBusMessage info =
        callAndWait(m_bus, controllerCall(QStringLiteral("InputMethodGroupInfo"), {group.value}));
    const QDBusArgument *items = argumentAt(info, 1, "a(ss)");
    if (!items)
        return {{},
                QStringLiteral("fcitx5: the group %1 could not be read: %2")
                    .arg(group.value, info.errorMessage())};
    QStringList ids;
    items->beginArray();
    while (!items->atEnd()) {
        QString id, layout;
        items->beginStructure();
        *items >> id >> layout;
        items->endStructure();
        ids << id;
    }
    items->endArray();

    const QDBusMessage available =
        callAndWait(m_bus, controllerCall(QStringLiteral("AvailableInputMethods")));
    const QDBusArgument *list = argumentAt(available, 0, "a(ssssssb)");
    if (!list)
        return {{},
                QStringLiteral("fcitx5: the input methods could not be read: ") +
                    available.errorMessage()};
    QHash<QString, Described> described;
    list->beginArray();
    while (!list->atEnd()) {
        QString id, name, nativeName, icon, label, language;
        bool configurable = false;
        list->beginStructure();
        *list >> id >> name >> nativeName >> icon >> label >> language >> configurable;
        list->endStructure();
        described.insert(id, {name, nativeName});
    }
    list->endArray();

    InputMethodListing listing;
    for (const QString &id : std::as_const(ids)) {
        // An entry of the group whose addon is missing stays in the list without a
        // description: it cannot be picked, but the positions after it keep their meaning.
        const Described about = described.value(id);
        QString description;
        if (!isKeyboardLayout(id))
            description = about.nativeName.isEmpty() ? about.name : about.nativeName;
        listing.entries.append({id, description});
    }

    const buscalls::TextReply current = buscalls::firstText(
        callAndWait(m_bus, controllerCall(QStringLiteral("CurrentInputMethod"))));
    if (current.ok())
        m_active = current.value;
    return listing;
}

void Fcitx5InputMethods::activate(const QString &id)
{
    if (id.isEmpty())
        return;
    m_wanted = id;
    if (m_busy) {
        m_again = true;
        return;
    }
    askActive(false);
}

void Fcitx5InputMethods::askActive(bool afterSwitch)
{
    m_busy = true;
    const QDBusPendingCall call =
        m_bus.asyncCall(controllerCall(QStringLiteral("CurrentInputMethod")), buscalls::kTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, afterSwitch](QDBusPendingCallWatcher *w) { activeAnswered(w, afterSwitch); });
}

void Fcitx5InputMethods::activeAnswered(QDBusPendingCallWatcher *watcher, bool afterSwitch)
{
    watcher->deleteLater();
    const buscalls::TextReply current = buscalls::firstText(watcher->reply());
    if (!current.ok()) {
        // The daemon went away or hangs: the next keystroke asks again.
        finish();
        return;
    }
    m_active = current.value;
    emit activeSeen(m_active);
    // After a switch the answer is only recorded: when fcitx5 ignored the switch (no focused
    // input context, an unknown name) the next keystroke tries again instead of this loop.
    if (!afterSwitch && m_active != m_wanted)
        switchTo(m_wanted);
    else
        finish();
}

void Fcitx5InputMethods::switchTo(const QString &id)
{
    const QDBusPendingCall call =
        m_bus.asyncCall(controllerCall(QStringLiteral("SetCurrentIM"), {id}), buscalls::kTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        if (w->isError()) {
            finish();
            return;
        }
        askActive(true);
    });
}

void Fcitx5InputMethods::finish()
{
    m_busy = false;
    if (m_again) {
        m_again = false;
        askActive(false);
        return;
    }
    emit settled();
}
