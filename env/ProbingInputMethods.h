#pragma once

#include "core/InputMethodService.h"

#include <QDBusConnection>
#include <QProcessEnvironment>

#include <memory>

// The framework the student's desktop runs, looked for again at every read: fcitx5 on the
// session bus first (its IBus frontend imitates IBus, so asking IBus first could find fcitx5
// in disguise), then an IBus daemon, else the plain keyboard. Looking never starts a
// framework. Between reads the framework found last serves the activations.
class ProbingInputMethods final : public InputMethodService
{
public:
    explicit ProbingInputMethods(
        const QDBusConnection &sessionBus = QDBusConnection::sessionBus(),
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
    ~ProbingInputMethods() override;

    InputMethodListing read() override;
    void activate(const QString &id) override;
    QString active() const override;
    QString framework() const override;
    // fcitx5 without its Qt 6 plugin, or not named in QT_IM_MODULE.
    QString setupProblem() const override;

    // The framework in use now (its own signals are there for tests and the benchmark).
    InputMethodService *current() const { return m_current.get(); }

    // Looks for a framework now and takes it, without reading its list.
    void probe();

private:
    bool probeFcitx5();
    bool probeIBus();
    void dropIBusConnection();

    QDBusConnection m_sessionBus;
    QProcessEnvironment m_environment;
    std::unique_ptr<InputMethodService> m_current;
    QString m_ibusAddress; // the address of the IBus bus in use, empty when none
};
