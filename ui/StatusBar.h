// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

// The main window's status bar with its five text panels (numbered 1 to 5).
class StatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

private:
    std::array<QLabel *, 5> m_panels{};
};
