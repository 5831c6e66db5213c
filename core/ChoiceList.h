// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QStringList>

// The entries and the current choice of a drop-down list (the input method list cmbshurufa),
// without a widget. Adding the first entry makes it current, as a combo box does.
class ChoiceList : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    int count() const { return int(m_items.size()); }
    QString itemText(int index) const { return m_items.value(index); }
    const QStringList &items() const { return m_items; }
    void addItem(const QString &text);
    void clear();
    int currentIndex() const { return m_current; }
    QString currentText() const { return m_items.value(m_current); }
    // An index outside the entries chooses nothing (-1).
    void setCurrentIndex(int index);
    // The student chose an entry in the view.
    void activate(int index);

signals:
    void itemsChanged(const QStringList &items);
    void currentIndexChanged(int index);
    void activated(int index);

private:
    QStringList m_items;
    int m_current = -1;
};
