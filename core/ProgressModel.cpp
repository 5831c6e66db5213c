// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/ProgressModel.h"

#include <algorithm>
#include <limits>

void ProgressModel::setMinimum(int minimum)
{
    setRange(minimum, std::max(m_maximum, minimum));
}

void ProgressModel::setMaximum(int maximum)
{
    setRange(std::min(m_minimum, maximum), maximum);
}

void ProgressModel::setRange(int minimum, int maximum)
{
    if (minimum == m_minimum && maximum == m_maximum)
        return;
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    if (m_value < m_minimum || m_value > m_maximum)
        m_value = m_minimum == std::numeric_limits<int>::min() ? m_minimum : m_minimum - 1;
    emit changed(m_minimum, m_maximum, m_value);
}

void ProgressModel::setValue(int value)
{
    if (value == m_value)
        return;
    if ((value > m_maximum || value < m_minimum) && (m_maximum != 0 || m_minimum != 0))
        return;
    m_value = value;
    emit changed(m_minimum, m_maximum, m_value);
}
