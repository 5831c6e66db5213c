#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A Qt 6 program gets Chinese from fcitx5 only through fcitx5's Qt 6 input context plugin
// (Qt 6 has no XIM). Without it the keys reach the typing box as plain letters and nothing
// says why, so the client tells the student what to install.
class Fcitx5FrontendCheck
{
public:
    // Whether one of the plugin folders holds fcitx5's input context plugin.
    static bool pluginPresent(const QStringList &pluginFolders);

    // The message for the student when the desktop's input method is fcitx5 (QT_IM_MODULE
    // names it, or it is not set and fcitx5 runs) and the plugin is missing, or when fcitx5
    // runs but QT_IM_MODULE does not name it; nothing otherwise.
    static std::optional<QString> missingPluginMessage(const QString &qtImModule,
                                                       bool fcitx5Running,
                                                       const QStringList &pluginFolders);
};
