#pragma once

#include "core/InputMethodService.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

#include <functional>

// IBus through its own bus. The entries are the engines the student has set up, in IBus's
// order, described by their long names ("海峰五笔86"); keyboard layouts have no description.
// IBus announces every switch of the global engine, so the active one stays known and
// activate() calls the daemon only when the wanted engine is not the active one.
class IBusInputMethods final : public QObject, public InputMethodService
{
    Q_OBJECT
public:
    using EngineNames = std::function<QStringList()>;

    // preloadEngines gives the engines the student has set up, in order.
    IBusInputMethods(const QDBusConnection &bus, EngineNames preloadEngines,
                     QObject *parent = nullptr);

    InputMethodListing read() override;
    void activate(const QString &id) override;
    QString active() const override { return m_active; }
    QString framework() const override { return QStringLiteral("ibus"); }

    bool busy() const { return !m_switching.isEmpty(); }
    const QDBusConnection &bus() const { return m_bus; }

signals:
    void activeSeen(const QString &id);
    void settled();

private slots:
    void globalEngineChanged(const QString &id);

private:
    QString readGlobalEngine();

    QDBusConnection m_bus;
    EngineNames m_preloadEngines;
    QString m_active;
    QString m_switching; // the engine a call on its way switches to
};
