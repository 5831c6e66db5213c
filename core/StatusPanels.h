// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

#include <array>

// The texts of the status bar's five panels (numbered 1 to 5) and the one place that builds
// them: 1 the connection, 2 the name, 3 the number, 4 the class, 5 the computer.
class StatusPanels : public QObject
{
    Q_OBJECT
public:
    static constexpr int kCount = 5;
    using QObject::QObject;

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

    // Panels 2 to 4 from the identity, panel 5 from the computer name.
    void showIdentity(const QString &name, const QString &xuehao, const QString &banji);
    void showComputer(const QString &computerName);
    // Panel 1 for a socket state (Socket::State); a state without text leaves it as it was.
    void showConnection(int socketState, const QString &ip, int port);

    // The panel 1 text of a socket state; empty for a state without text.
    static QString connectionText(int socketState, const QString &ip, int port);

signals:
    void panelChanged(int panel, const QString &text);

private:
    std::array<QString, kCount> m_texts;
};
