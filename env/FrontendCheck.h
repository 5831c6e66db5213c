// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A Qt 6 program gets Chinese from fcitx5 or fcitx 4 only through that framework's own Qt 6
// input context plugin (Qt 6 has no XIM), loaded only when QT_IM_MODULE names it. Without it
// the keys reach the typing box as plain letters and nothing says why, so the client tells
// the student what to install or set, for the framework that runs.
class FrontendCheck
{
public:
    // Whether one of the plugin folders holds the Qt 6 plugin of the framework ("fcitx5",
    // "fcitx4", "ibus").
    static bool pluginPresent(const QString &framework, const QStringList &pluginFolders);

    // The message for the student, or nothing when the desktop is set up right.
    // framework: the one that runs ("fcitx5", "fcitx4", "ibus" or "none"); with none running,
    // a QT_IM_MODULE naming fcitx is taken as a fcitx5 desktop whose daemon has not started.
    static std::optional<QString> missingPluginMessage(const QString &framework,
                                                       const QString &qtImModule,
                                                       const QStringList &pluginFolders);
};
