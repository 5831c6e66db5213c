// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

#include <optional>

// D-Bus calls that never start a service. Both input method frameworks install D-Bus
// activation files, so an ordinary call to a name nobody owns would start a daemon the
// student never chose; the client only talks to frameworks that already run.
namespace buscalls {

// How long a call at a list refresh may take before the framework counts as not answering.
constexpr int kTimeoutMs = 1000;

// Asks the bus itself whether the name has an owner. Empty when the bus does not answer.
std::optional<bool> nameHasOwner(const QDBusConnection &bus, const QString &name);

// A method call with auto-start off.
QDBusMessage methodCall(const QString &service, const QString &path, const QString &interface,
                        const QString &method, const QVariantList &arguments = {});

// Sends the call and waits for its reply (at most kTimeoutMs). On failure the reply is an
// error message whose errorMessage() says why.
QDBusMessage callAndWait(const QDBusConnection &bus, const QDBusMessage &call);

// The reply's first argument as text, or the error's description.
struct TextReply
{
    QString value;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
TextReply firstText(const QDBusMessage &reply);

} // namespace buscalls
