// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QString>

class ClassRoster;

// The class list in the order the teacher sorted it, for the console's table. A class reports
// every second, so this keeps what a sorting proxy would redo each time: the sort key of every
// row, kept as a number or a text, is looked at again only for the rows the class list says
// changed; the rows are sorted again only when a key changed, stably from the order shown (rows
// of equal keys keep their places), and the table hears of a new layout only when the order is
// not the one it shows. Changed cells reach the table one by one, at their place in the order.
class SortedRoster : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SortedRoster(ClassRoster &source, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    void multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    int sortColumn() const { return m_column; }
    Qt::SortOrder sortOrder() const { return m_order; }
    // The class list's row shown at a place, and the place of a class list row; -1 for none.
    int sourceRow(int row) const;
    int rowOf(int sourceRow) const;
    QModelIndex mapToSource(const QModelIndex &index) const;
    QModelIndex mapFromSource(const QModelIndex &index) const;
    // Layout changes so far (the benchmark and the tests count them).
    int layoutChanges() const { return m_layoutChanges; }

private:
    struct Key
    {
        bool text = false;
        double number = 0;
        QString string;
        bool operator==(const Key &other) const
        {
            return text == other.text && (text ? string == other.string : number == other.number);
        }
        bool operator<(const Key &other) const
        {
            // Numbers come before texts, as a student number column that holds both sorts.
            if (text != other.text)
                return !text;
            return text ? string < other.string : number < other.number;
        }
    };

    Key keyOf(int sourceRow) const;
    void rowsUpdated(const QList<int> &rows);
    void cellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                      const QList<int> &roles);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void reset();
    void positionsFromOrder();
    // Sorts the rows by their keys, starting from the given order (ties keep it); tells the
    // views of a new layout only when the order changed.
    void arrange(QList<int> order);

    ClassRoster &m_source;
    int m_column = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
    QList<int> m_rows;      // place -> class list row
    QList<int> m_positions; // class list row -> place
    QList<Key> m_keys;      // class list row -> sort key
    int m_layoutChanges = 0;
};
