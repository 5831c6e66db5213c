#pragma once

#include "core/InputMethodService.h"

#include <QDBusConnection>
#include <QObject>

class QDBusPendingCallWatcher;

// fcitx5 through its controller on the session bus. The entries are the current group's, in
// the group's order. An entry's description is the input method's native name ("五笔字型"
// for Wubi, "拼音" for Pinyin), which unlike its display name does not follow the language
// the daemon runs in, so a server rule such as 五笔 finds it on any desktop; an input method
// without a native name is described by its display name. Keyboard layouts have no
// description: they are not input methods, and the first entry is reached through "英语（美国）".
//
// fcitx5 announces no switch of the input method, so activate() asks which one is active and
// switches only when it differs. At most one call is outstanding: a request made meanwhile is
// served when the reply arrives, so a burst of keystrokes costs one question, not one each.
class Fcitx5InputMethods final : public QObject, public InputMethodService
{
    Q_OBJECT
public:
    static QString serviceName();

    explicit Fcitx5InputMethods(const QDBusConnection &bus, QObject *parent = nullptr);

    InputMethodListing read() override;
    void activate(const QString &id) override;
    QString active() const override { return m_active; }
    QString framework() const override { return QStringLiteral("fcitx5"); }

    // True while a question or a switch is on its way (tests and the benchmark wait for it).
    bool busy() const { return m_busy; }

signals:
    // A reply told which input method is active.
    void activeSeen(const QString &id);
    // The outstanding calls are answered.
    void settled();

private:
    void askActive(bool afterSwitch);
    void activeAnswered(QDBusPendingCallWatcher *watcher, bool afterSwitch);
    void switchTo(const QString &id);
    void finish();

    QDBusConnection m_bus;
    QString m_active;
    QString m_wanted;
    bool m_busy = false;
    bool m_again = false;
};
