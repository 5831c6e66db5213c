// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/InputMethodService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>

#include <functional>

// fcitx5 through its controller on the session bus. The entries are those of every group, in
// the order of the groups (as this client first saw them: fcitx5 itself lists the current
// group first) and of each group, each input method once. An entry's description is
// the input method's native name ("五笔字型" for Wubi, "拼音" for Pinyin), which unlike its
// display name does not follow the language the daemon runs in, so a server rule such as 五笔
// finds it on any desktop; an input method without a native name is described by its display
// name. Keyboard layouts have no description: they are not input methods, and the first entry
// is reached through "英语（美国）".
//
// fcitx5 announces no switch of the input method, so activate() asks which one is active and
// switches only when it differs. fcitx5 ignores a switch to an input method outside the current
// group, so the switch reads the groups as they are now (the student may have switched or
// edited them) and goes to the group that holds the wanted one first; when no group holds it
// any more, it is put back into the current group. At most one chain of calls is outstanding:
// a request made meanwhile is served when the chain ends, so a burst of keystrokes costs one
// question, not one each.
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

    // One group as the daemon has it: its name, layout and input methods in order.
    struct Group
    {
        QString name;
        QString layout;
        QStringList items;
    };

signals:
    // A reply told which input method is active.
    void activeSeen(const QString &id);
    // The outstanding calls are answered.
    void settled();

private:
    using Reply = std::function<void(const QDBusMessage &)>;
    void callAsync(const QString &method, const QVariantList &arguments, Reply then);

    void askActive(bool afterSwitch);
    void activeAnswered(const QDBusMessage &reply, bool afterSwitch);
    void readGroups();
    void readGroup(int index);
    void switchWithinGroups();
    void setCurrent();
    void finish();

    QDBusConnection m_bus;
    QString m_active;
    QString m_wanted;
    bool m_busy = false;
    bool m_again = false;
    static constexpr int kRetries = 5;
    static constexpr int kRetryMs = 100;
    int m_retries = 0;
    // The groups read during a switch.
    QString m_currentGroup;
    QList<Group> m_groups;
    QStringList m_groupOrder; // every group's name in the order first seen
};
