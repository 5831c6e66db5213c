// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/StatusPanels.h"

void StatusPanels::setPanelText(int panel, const QString &text)
{
    if (panel < 1 || panel > kCount || m_texts[size_t(panel - 1)] == text)
        return;
    m_texts[size_t(panel - 1)] = text;
    emit panelChanged(panel, text);
}

QString StatusPanels::panelText(int panel) const
{
    return panel >= 1 && panel <= kCount ? m_texts[size_t(panel - 1)] : QString();
}

void StatusPanels::showIdentity(const QString &name, const QString &xuehao, const QString &banji)
{
    setPanelText(2, QStringLiteral("姓名：") + name);
    setPanelText(3, QStringLiteral("学号：") + xuehao);
    setPanelText(4, QStringLiteral("班级：") + banji);
}

void StatusPanels::showComputer(const QString &computerName)
{
    setPanelText(5, QStringLiteral("计算机名：") + computerName);
}

void StatusPanels::showConnection(int socketState, const QString &ip, int port)
{
    const QString text = connectionText(socketState, ip, port);
    if (!text.isEmpty())
        setPanelText(1, text);
}

QString StatusPanels::connectionText(int socketState, const QString &ip, int port)
{
    // The numbers are those of Socket::State.
    switch (socketState) {
    case 0:
        return QStringLiteral("已关闭到") + ip + QStringLiteral("的连接");
    case 1:
        return QStringLiteral("打开");
    case 2:
        return QStringLiteral("正在侦听");
    case 3:
        return QStringLiteral("连接挂起");
    case 4:
        return QStringLiteral("识别主机");
    case 5:
        return QStringLiteral("已识别主机");
    case 6:
        return QStringLiteral("正在连接") + ip + QStringLiteral("，端口：") + QString::number(port);
    case 7:
        return QStringLiteral("已连接到") + ip + QStringLiteral("，端口：") + QString::number(port);
    case 8:
        return QStringLiteral("同级人员正在关闭连接");
    case 9:
        return QStringLiteral("错误");
    default:
        return {};
    }
}
