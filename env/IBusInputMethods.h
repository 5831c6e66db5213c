// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"
#include "env/IBusSetup.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <functional>

// IBus through its own bus. The entries are the engines the student has set up, in the order
// of IBus's preferences, or where those are empty (GNOME) in the order of the desktop's input
// sources; keyboard layouts have no description. An engine is described by its Chinese name
// whatever language the daemon runs in: for a table engine the zh_CN name its table carries
// ("海峰五笔86"), for another engine its long name translated through the engine's zh_CN
// catalogue, else the long name the daemon gives.
//
// IBus announces every switch of the global engine, so the active one stays known and
// activate() calls the daemon only when the wanted engine is not the active one. A daemon that
// restarts or is replaced closes this bus: alive() turns false and the owner looks again.
class IBusInputMethods final : public QObject, public InputMethodService
{
    Q_OBJECT
public:
    using SetupReader = std::function<IBusSetup()>;

    // setup gives the engines the student has set up; dataFolders are where the engines' files
    // (tables, catalogues) are looked for.
    IBusInputMethods(const QDBusConnection &bus, SetupReader setup, QStringList dataFolders = {},
                     QObject *parent = nullptr);

    InputMethodListing read() override;
    void activate(const QString &id) override;
    QString active() const override { return m_active; }
    QString framework() const override { return QStringLiteral("ibus"); }

    bool busy() const { return !m_switching.isEmpty(); }
    bool alive() const { return m_bus.isConnected(); }
    const QDBusConnection &bus() const { return m_bus; }

    // One engine as the daemon describes it.
    struct Engine
    {
        QString name;
        QString longName;
        QString layout;
        QString layoutVariant;
        QString textDomain;
    };
    // What the list shows for an engine: empty for a keyboard layout.
    QString describe(const Engine &engine) const;

signals:
    void activeSeen(const QString &id);
    void settled();

private slots:
    void globalEngineChanged(const QString &id);

private:
    QString readGlobalEngine();
    QStringList engineNames(const IBusSetup &setup, const QString &global);

    QDBusConnection m_bus;
    SetupReader m_setup;
    QStringList m_dataFolders;
    QString m_active;
    QString m_switching; // the engine a call on its way switches to
};
