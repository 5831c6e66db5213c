// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <functional>

// fcitx 4 through its input method object on the session bus. The entries are the input
// methods its profile enables, in the profile's order. fcitx 4 translates its display names
// only under a Chinese locale ("Wubi" under C.UTF-8), so an entry is described by its Chinese
// name: Name[zh_CN] of the table's configuration for a table input method, else the display
// name translated through fcitx's zh_CN catalogue, else the display name. Keyboard layouts
// have no description.
//
// Like fcitx5 it announces no switch, so activate() asks which input method is active and
// switches only when it differs, with at most one chain of calls outstanding.
class Fcitx4InputMethods final : public QObject, public InputMethodService
{
    Q_OBJECT
public:
    static QString serviceName();

    // dataFolders: where table configurations and catalogues are looked for.
    Fcitx4InputMethods(const QDBusConnection &bus, QStringList dataFolders,
                       QObject *parent = nullptr);

    InputMethodListing read() override;
    void activate(const QString &id) override;
    QString active() const override { return m_active; }
    QString framework() const override { return QStringLiteral("fcitx4"); }

    bool busy() const { return m_busy; }
    // What the list shows for an input method: empty for a keyboard layout.
    QString describe(const QString &id, const QString &displayName) const;

signals:
    void activeSeen(const QString &id);
    void settled();

private:
    using Reply = std::function<void(const QDBusMessage &)>;
    void callAsync(const QString &method, const QVariantList &arguments, Reply then);
    void askActive(bool afterSwitch);
    void finish();

    QDBusConnection m_bus;
    QStringList m_dataFolders;
    QString m_active;
    QString m_wanted;
    bool m_busy = false;
    bool m_again = false;
    static constexpr int kRetries = 5;
    static constexpr int kRetryMs = 100;
    int m_retries = 0;
    static constexpr int kConfirmMs = 250;
    QElapsedTimer m_confirmed; // since the last look that confirmed the input method
};
