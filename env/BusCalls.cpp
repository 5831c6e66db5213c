// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/BusCalls.h"

namespace buscalls {

std::optional<bool> nameHasOwner(const QDBusConnection &bus, const QString &name)
{
    if (!bus.isConnected())
        return std::nullopt;
    const QDBusMessage reply = callAndWait(bus, methodCall(QStringLiteral("org.freedesktop.DBus"),
                                                           QStringLiteral("/org/freedesktop/DBus"),
                                                           QStringLiteral("org.freedesktop.DBus"),
                                                           QStringLiteral("NameHasOwner"), {name}));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().constFirst().toBool();
}

QDBusMessage methodCall(const QString &service, const QString &path, const QString &interface,
                        const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setAutoStartService(false);
    call.setArguments(arguments);
    return call;
}

QDBusMessage callAndWait(const QDBusConnection &bus, const QDBusMessage &call)
{
    if (!bus.isConnected())
        return call.createErrorReply(QDBusError::Disconnected, QStringLiteral("not connected"));
    return bus.call(call, QDBus::Block, kTimeoutMs);
}

TextReply firstText(const QDBusMessage &reply)
{
    if (reply.type() == QDBusMessage::ErrorMessage)
        return {{}, reply.errorName() + QStringLiteral(": ") + reply.errorMessage()};
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        reply.arguments().constFirst().metaType() != QMetaType::fromType<QString>())
        return {{}, QStringLiteral("the reply holds no text")};
    return {reply.arguments().constFirst().toString(), {}};
}

} // namespace buscalls
