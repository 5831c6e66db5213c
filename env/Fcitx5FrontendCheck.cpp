#include "env/Fcitx5FrontendCheck.h"

#include <QDir>

bool Fcitx5FrontendCheck::pluginPresent(const QStringList &pluginFolders)
{
    for (const QString &folder : pluginFolders) {
        const QDir contexts(folder + QStringLiteral("/platforminputcontexts"));
        if (!contexts.entryList({QStringLiteral("*fcitx*")}, QDir::Files).isEmpty())
            return true;
    }
    return false;
}

std::optional<QString> Fcitx5FrontendCheck::missingPluginMessage(const QString &qtImModule,
                                                                 bool fcitx5Running,
                                                                 const QStringList &pluginFolders)
{
    const QString module = qtImModule.trimmed().toLower();
    const bool wantsFcitx = module.startsWith(QLatin1String("fcitx"));
    // Another module named on purpose (ibus, which fcitx5 also serves) is the desktop's choice.
    if (!wantsFcitx && !(module.isEmpty() && fcitx5Running))
        return std::nullopt;
    if (pluginPresent(pluginFolders)) {
        if (wantsFcitx)
            return std::nullopt;
        // Qt 6 loads an input context plugin only when QT_IM_MODULE names it.
        return QStringLiteral("本机运行 fcitx5 输入法，但环境变量 QT_IM_MODULE 没有设为 fcitx，"
                              "在本客户端中将无法输入中文。\n\n"
                              "请把 fcitx5 设为桌面的输入法（例如：im-config -n fcitx5），"
                              "重新登录后再启动客户端。");
    }
    return QStringLiteral("本机使用 fcitx5 输入法，但缺少它的 Qt 6 输入法插件，"
                          "在本客户端中将无法输入中文。\n\n"
                          "请先安装软件包 fcitx5-frontend-qt6（例如：sudo apt install "
                          "fcitx5-frontend-qt6），然后重新启动客户端。");
}
