// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

// The progress bar's range and value without a widget, with the bar's rules: a value outside
// the range is refused and the bar keeps what it showed; a new range that excludes the value
// resets the bar to empty (value minimum - 1).
class ProgressModel : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int value() const { return m_value; }
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setRange(int minimum, int maximum);
    void setValue(int value);

signals:
    void changed(int minimum, int maximum, int value);

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
};
