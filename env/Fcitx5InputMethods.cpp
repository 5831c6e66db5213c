// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/Fcitx5InputMethods.h"

#include "env/BusCalls.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QHash>
#include <QTimer>

#include <algorithm>
#include <optional>

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

// One entry of a group as SetInputMethodGroupInfo takes it: (input method, layout).
struct GroupItem
{
    QString id;
    QString layout;
};

QDBusArgument &operator<<(QDBusArgument &argument, const GroupItem &item)
{
    argument.beginStructure();
    argument << item.id << item.layout;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, GroupItem &item)
{
    argument.beginStructure();
    argument >> item.id >> item.layout;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(GroupItem)

namespace {

// A group's layout and entries from InputMethodGroupInfo, or nothing when the reply has
// another shape.
std::optional<Fcitx5InputMethods::Group> groupFrom(const QString &name, const QDBusMessage &reply)
{
    const QDBusArgument *items = argumentAt(reply, 1, "a(ss)");
    if (!items || reply.arguments().constFirst().metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    Fcitx5InputMethods::Group group{name, reply.arguments().constFirst().toString(), {}};
    items->beginArray();
    while (!items->atEnd()) {
        QString id, layout;
        items->beginStructure();
        *items >> id >> layout;
        items->endStructure();
        group.items << id;
    }
    items->endArray();
    return group;
}

QStringList textsFrom(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().toStringList();
}

} // namespace

QString Fcitx5InputMethods::serviceName()
{
    return QStringLiteral("org.fcitx.Fcitx5");
}

Fcitx5InputMethods::Fcitx5InputMethods(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    qDBusRegisterMetaType<GroupItem>();
    qDBusRegisterMetaType<QList<GroupItem>>();
}

InputMethodListing Fcitx5InputMethods::read()
{
    using buscalls::callAndWait;
    const QDBusMessage groupsReply =
        callAndWait(m_bus, controllerCall(QStringLiteral("InputMethodGroups")));
    if (groupsReply.type() != QDBusMessage::ReplyMessage)
        return {{}, QStringLiteral("fcitx5: ") + groupsReply.errorMessage()};
    const QStringList named = textsFrom(groupsReply);
    if (named.isEmpty())
        return {{}, QStringLiteral("fcitx5: the daemon names no input method group")};
    // fcitx5 lists the current group first. So that the list does not depend on which group
    // the student made current, the groups keep the order in which this client first saw them.
    for (const QString &name : named) {
        if (!m_groupOrder.contains(name))
            m_groupOrder << name;
    }
    QStringList groups;
    for (const QString &name : std::as_const(m_groupOrder)) {
        if (named.contains(name))
            groups << name;
    }

    // Every group in the daemon's order: a room may set up one group per input method, and
    // which one is current is the student's choice.
    QStringList ids;
    for (const QString &name : groups) {
        const QDBusMessage info =
            callAndWait(m_bus, controllerCall(QStringLiteral("InputMethodGroupInfo"), {name}));
        const std::optional<Group> group = groupFrom(name, info);
        if (!group)
            return {{},
                    QStringLiteral("fcitx5: the group %1 could not be read: %2")
                        .arg(name, info.errorMessage())};
        for (const QString &id : group->items) {
            if (!ids.contains(id))
                ids << id;
        }
    }

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
        // An entry of a group whose addon is missing stays in the list without a
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

void Fcitx5InputMethods::callAsync(const QString &method, const QVariantList &arguments, Reply then)
{
    const QDBusPendingCall call =
        m_bus.asyncCall(controllerCall(method, arguments), buscalls::kTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [then = std::move(then)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                then(w->reply());
            });
}

void Fcitx5InputMethods::askActive(bool afterSwitch)
{
    m_busy = true;
    callAsync(
        QStringLiteral("CurrentInputMethod"), {},
        [this, afterSwitch](const QDBusMessage &reply) { activeAnswered(reply, afterSwitch); });
}

void Fcitx5InputMethods::activeAnswered(const QDBusMessage &reply, bool afterSwitch)
{
    const buscalls::TextReply current = buscalls::firstText(reply);
    if (!current.ok()) {
        // The daemon went away or hangs: the next keystroke asks again.
        finish();
        return;
    }
    m_active = current.value;
    emit activeSeen(m_active);
    if (m_active == m_wanted) {
        m_retries = 0;
        finish();
    } else if (!afterSwitch) {
        readGroups();
    } else if (m_retries < kRetries) {
        // fcitx5 ignores a switch while the window's input context is not focused yet (the
        // toolkit tells it a moment after the window took the focus): try again shortly.
        ++m_retries;
        QTimer::singleShot(kRetryMs, this, [this] { askActive(false); });
    } else {
        // An unknown name, or no focus at all: the next keystroke tries again.
        m_retries = 0;
        finish();
    }
}

// The slow way, taken only when the student got away: the groups as they are now.
void Fcitx5InputMethods::readGroups()
{
    m_groups.clear();
    callAsync(QStringLiteral("CurrentInputMethodGroup"), {}, [this](const QDBusMessage &reply) {
        const buscalls::TextReply current = buscalls::firstText(reply);
        if (!current.ok()) {
            finish();
            return;
        }
        m_currentGroup = current.value;
        callAsync(QStringLiteral("InputMethodGroups"), {}, [this](const QDBusMessage &groups) {
            for (const QString &name : textsFrom(groups))
                m_groups.append({name, {}, {}});
            readGroup(0);
        });
    });
}

void Fcitx5InputMethods::readGroup(int index)
{
    if (index >= m_groups.size()) {
        switchWithinGroups();
        return;
    }
    const QString name = m_groups.at(index).name;
    callAsync(QStringLiteral("InputMethodGroupInfo"), {name},
              [this, index, name](const QDBusMessage &reply) {
                  if (const std::optional<Group> group = groupFrom(name, reply))
                      m_groups[index] = *group;
                  readGroup(index + 1);
              });
}

void Fcitx5InputMethods::switchWithinGroups()
{
    const auto current = std::find_if(m_groups.cbegin(), m_groups.cend(),
                                      [this](const Group &g) { return g.name == m_currentGroup; });
    if (current != m_groups.cend() && current->items.contains(m_wanted)) {
        setCurrent();
        return;
    }
    for (const Group &group : std::as_const(m_groups)) {
        if (group.items.contains(m_wanted)) {
            callAsync(QStringLiteral("SwitchInputMethodGroup"), {group.name},
                      [this](const QDBusMessage &reply) {
                          if (reply.type() == QDBusMessage::ErrorMessage)
                              finish();
                          else
                              setCurrent();
                      });
            return;
        }
    }
    if (current == m_groups.cend()) {
        finish();
        return;
    }
    // No group holds it any more: it goes back at the end of the current group.
    QList<GroupItem> restored;
    for (const QString &id : current->items + QStringList{m_wanted})
        restored.append({id, QString()});
    callAsync(QStringLiteral("SetInputMethodGroupInfo"),
              {current->name, current->layout, QVariant::fromValue(restored)},
              [this](const QDBusMessage &reply) {
                  if (reply.type() == QDBusMessage::ErrorMessage)
                      finish();
                  else
                      setCurrent();
              });
}

void Fcitx5InputMethods::setCurrent()
{
    callAsync(QStringLiteral("SetCurrentIM"), {m_wanted}, [this](const QDBusMessage &reply) {
        if (reply.type() == QDBusMessage::ErrorMessage)
            finish();
        else
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
