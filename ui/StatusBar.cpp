// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/StatusBar.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    // Panel 1 (the connection state) takes the spare width; the others fit their text.
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setTextFormat(Qt::PlainText); // identity and address from outside
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
        m_panels[i]->setContentsMargins(4, 0, 4, 0);
        addPermanentWidget(m_panels[i], i == 0 ? 1 : 0);
    }
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= 5)
        m_panels[panel - 1]->setText(text);
}

QString StatusBar::panelText(int panel) const
{
    return panel >= 1 && panel <= 5 ? m_panels[panel - 1]->text() : QString();
}
