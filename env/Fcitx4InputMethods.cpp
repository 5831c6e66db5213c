// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/Fcitx4InputMethods.h"

#include "env/BusCalls.h"
#include "env/ChineseNames.h"

#include <QDBusArgument>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QTimer>

namespace {

const QString kPath = QStringLiteral("/inputmethod");
const QString kInterface = QStringLiteral("org.fcitx.Fcitx.InputMethod");
// The text domain of fcitx 4's own names (Pinyin, Shuangpin, ...).
const QString kDomain = QStringLiteral("fcitx");

QDBusMessage inputMethodCall(const QString &method, const QVariantList &arguments = {})
{
    return buscalls::methodCall(Fcitx4InputMethods::serviceName(), kPath, kInterface, method,
                                arguments);
}

bool isKeyboardLayout(const QString &id)
{
    return id.startsWith(QLatin1String("fcitx-keyboard-"));
}

} // namespace

QString Fcitx4InputMethods::serviceName()
{
    return QStringLiteral("org.fcitx.Fcitx");
}

Fcitx4InputMethods::Fcitx4InputMethods(const QDBusConnection &bus, QStringList dataFolders,
                                       QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_dataFolders(std::move(dataFolders))
{}

QString Fcitx4InputMethods::describe(const QString &id, const QString &displayName) const
{
    if (isKeyboardLayout(id))
        return {};
    if (std::optional<QString> table = chinesenames::fcitx4Table(id, m_dataFolders))
        return *table;
    if (std::optional<QString> translated =
            chinesenames::translated(displayName, kDomain, m_dataFolders))
        return *translated;
    return displayName;
}

InputMethodListing Fcitx4InputMethods::read()
{
    const QDBusMessage reply = buscalls::callAndWait(
        m_bus, buscalls::methodCall(serviceName(), kPath,
                                    QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {kInterface, QStringLiteral("IMList")}));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {{},
                QStringLiteral("fcitx4: the input methods could not be read: ") +
                    reply.errorMessage()};
    QVariant value = reply.arguments().constFirst();
    if (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return {{}, QStringLiteral("fcitx4: the input method list is not a list")};
    const auto list = qvariant_cast<QDBusArgument>(value);
    if (list.currentSignature() != QLatin1String("a(sssb)"))
        return {{},
                QStringLiteral("fcitx4: unexpected input method list ") + list.currentSignature()};

    InputMethodListing listing;
    list.beginArray();
    while (!list.atEnd()) {
        QString name, id, language;
        bool enabled = false;
        list.beginStructure();
        list >> name >> id >> language >> enabled;
        list.endStructure();
        // The list holds every input method fcitx knows; the profile enables a few.
        if (enabled)
            listing.entries.append({id, describe(id, name)});
    }
    list.endArray();

    const buscalls::TextReply current = buscalls::firstText(
        buscalls::callAndWait(m_bus, inputMethodCall(QStringLiteral("GetCurrentIM"))));
    if (current.ok())
        m_active = current.value;
    return listing;
}

void Fcitx4InputMethods::activate(const QString &id)
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

void Fcitx4InputMethods::callAsync(const QString &method, const QVariantList &arguments, Reply then)
{
    const QDBusPendingCall call =
        m_bus.asyncCall(inputMethodCall(method, arguments), buscalls::kTimeoutMs);
    auto *watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [then = std::move(then)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                then(w->reply());
            });
}

void Fcitx4InputMethods::askActive(bool afterSwitch)
{
    m_busy = true;
    callAsync(QStringLiteral("GetCurrentIM"), {}, [this, afterSwitch](const QDBusMessage &reply) {
        const buscalls::TextReply current = buscalls::firstText(reply);
        if (!current.ok()) {
            finish(); // the next keystroke asks again
            return;
        }
        m_active = current.value;
        emit activeSeen(m_active);
        if (m_active == m_wanted) {
            m_retries = 0;
            // Until a window's input context is focused, fcitx answers with its global input
            // method, and the context then starts on the keyboard: one more look a moment
            // later (at most once a second) catches that before the student's first key.
            if (!afterSwitch && (!m_confirmed.isValid() || m_confirmed.elapsed() > 1000)) {
                m_confirmed.start();
                QTimer::singleShot(kConfirmMs, this, [this] { activate(m_wanted); });
            }
            finish();
            return;
        }
        if (afterSwitch) {
            // fcitx ignores a switch while the window's input context is not focused yet:
            // try again shortly, then leave it to the next keystroke.
            if (m_retries < kRetries) {
                ++m_retries;
                QTimer::singleShot(kRetryMs, this, [this] { askActive(false); });
            } else {
                m_retries = 0;
                finish();
            }
            return;
        }
        callAsync(QStringLiteral("SetCurrentIM"), {m_wanted}, [this](const QDBusMessage &set) {
            if (set.type() == QDBusMessage::ErrorMessage)
                finish();
            else
                askActive(true);
        });
    });
}

void Fcitx4InputMethods::finish()
{
    m_busy = false;
    if (m_again) {
        m_again = false;
        askActive(false);
        return;
    }
    emit settled();
}
