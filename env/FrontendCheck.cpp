// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "env/FrontendCheck.h"

#include <QDir>

namespace {

// The plugin's file for each framework: fcitx5's and fcitx 4's both answer to "fcitx" but
// talk to their own daemon only.
QString pluginPattern(const QString &framework)
{
    if (framework == QLatin1String("fcitx4"))
        return QStringLiteral("libfcitxplatforminputcontextplugin*");
    if (framework == QLatin1String("ibus"))
        return QStringLiteral("libibusplatforminputcontextplugin*");
    return QStringLiteral("libfcitx5platforminputcontextplugin*");
}

struct Advice
{
    QString name;     // as the student knows it
    QString package;  // the plugin's package
    QString module;   // what QT_IM_MODULE must name
    QString imConfig; // im-config's name of it
};

Advice adviceFor(const QString &framework)
{
    if (framework == QLatin1String("fcitx4"))
        return {QStringLiteral("fcitx"), QStringLiteral("fcitx-frontend-qt6"),
                QStringLiteral("fcitx"), QStringLiteral("fcitx")};
    if (framework == QLatin1String("ibus"))
        return {QStringLiteral("IBus"), QStringLiteral("qt6-base"), QStringLiteral("ibus"),
                QStringLiteral("ibus")};
    return {QStringLiteral("fcitx5"), QStringLiteral("fcitx5-frontend-qt6"),
            QStringLiteral("fcitx"), QStringLiteral("fcitx5")};
}

} // namespace

bool FrontendCheck::pluginPresent(const QString &framework, const QStringList &pluginFolders)
{
    for (const QString &folder : pluginFolders) {
        const QDir contexts(folder + QStringLiteral("/platforminputcontexts"));
        if (!contexts.entryList({pluginPattern(framework)}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

std::optional<QString> FrontendCheck::missingPluginMessage(const QString &framework,
                                                           const QString &qtImModule,
                                                           const QStringList &pluginFolders)
{
    const QString module = qtImModule.trimmed().toLower();
    const bool namesFcitx = module.startsWith(QLatin1String("fcitx"));
    QString running = framework;
    if (running == QLatin1String("none")) {
        if (!namesFcitx)
            return std::nullopt;
        running = QStringLiteral("fcitx5");
    }
    const Advice advice = adviceFor(running);
    if (running == QLatin1String("ibus")) {
        // Qt ships IBus's plugin; only a module named for another framework keeps it away.
        if (!namesFcitx)
            return std::nullopt;
        return QStringLiteral("本机运行 IBus 输入法，但环境变量 QT_IM_MODULE 设为了 %1，"
                              "在本客户端中将无法输入中文。\n\n"
                              "请把 IBus 设为桌面的输入法（例如：im-config -n ibus），"
                              "重新登录后再启动客户端。")
            .arg(qtImModule.trimmed());
    }
    // Another module named on purpose (ibus, which fcitx5 also serves) is the desktop's choice.
    if (!namesFcitx && !module.isEmpty())
        return std::nullopt;
    if (pluginPresent(running, pluginFolders)) {
        if (namesFcitx)
            return std::nullopt;
        return QStringLiteral("本机运行 %1 输入法，但环境变量 QT_IM_MODULE 没有设为 %2，"
                              "在本客户端中将无法输入中文。\n\n"
                              "请把 %1 设为桌面的输入法（例如：im-config -n %3），"
                              "重新登录后再启动客户端。")
            .arg(advice.name, advice.module, advice.imConfig);
    }
    return QStringLiteral("本机使用 %1 输入法，但缺少它的 Qt 6 输入法插件，"
                          "在本客户端中将无法输入中文。\n\n"
                          "请先安装软件包 %2（例如：sudo apt install %2），"
                          "然后重新启动客户端。")
        .arg(advice.name, advice.package);
}
