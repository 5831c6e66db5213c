// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/ChoiceList.h"

void ChoiceList::addItem(const QString &text)
{
    m_items << text;
    emit itemsChanged(m_items);
    if (m_current < 0)
        setCurrentIndex(0);
}

void ChoiceList::clear()
{
    if (m_items.isEmpty() && m_current < 0)
        return;
    m_items.clear();
    m_current = -1;
    emit itemsChanged(m_items);
    emit currentIndexChanged(m_current);
}

void ChoiceList::setCurrentIndex(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index == m_current)
        return;
    m_current = index;
    emit currentIndexChanged(index);
}

void ChoiceList::activate(int index)
{
    setCurrentIndex(index);
    emit activated(m_current);
}
