// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/ControlModel.h"

ControlModel::ControlModel(const QString &text, bool enabled, QObject *parent)
    : QObject(parent)
    , m_text(text)
    , m_enabled(enabled)
{}

void ControlModel::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged(enabled);
}

void ControlModel::setVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    emit visibleChanged(visible);
}

void ControlModel::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    emit textChanged(text);
}

void ControlModel::setChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    emit checkedChanged(checked);
}

void ControlModel::click()
{
    if (!m_enabled)
        return;
    if (checkable)
        setChecked(!m_checked);
    emit clicked();
}
