// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/SortedRoster.h"

#include "server/ClassRoster.h"

#include <algorithm>
#include <numeric>

SortedRoster::SortedRoster(ClassRoster &source, QObject *parent)
    : QAbstractTableModel(parent)
    , m_source(source)
{
    connect(&source, &ClassRoster::rowsUpdated, this, &SortedRoster::rowsUpdated);
    connect(&source, &ClassRoster::dataChanged, this, &SortedRoster::cellsChanged);
    connect(&source, &ClassRoster::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { rowsInserted(first, last); });
    connect(
        &source, &ClassRoster::rowsAboutToBeRemoved, this,
        [this](const QModelIndex &, int first, int last) { rowsAboutToBeRemoved(first, last); });
    connect(&source, &ClassRoster::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { rowsRemoved(first, last); });
    connect(&source, &ClassRoster::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&source, &ClassRoster::modelReset, this, [this] {
        reset();
        endResetModel();
    });
    connect(&source, &ClassRoster::headerDataChanged, this, &SortedRoster::headerDataChanged);
    reset();
}

int SortedRoster::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SortedRoster::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_source.columnCount();
}

QVariant SortedRoster::data(const QModelIndex &index, int role) const
{
    return m_source.data(mapToSource(index), role);
}

void SortedRoster::multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const
{
    m_source.multiData(mapToSource(index), roleDataSpan);
}

QVariant SortedRoster::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Rows are numbered by their place in the order shown.
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return m_source.headerData(section, orientation, role);
}

int SortedRoster::sourceRow(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : -1;
}

int SortedRoster::rowOf(int sourceRow) const
{
    return sourceRow >= 0 && sourceRow < m_positions.size() ? m_positions.at(sourceRow) : -1;
}

QModelIndex SortedRoster::mapToSource(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const int row = sourceRow(index.row());
    return row < 0 ? QModelIndex() : m_source.index(row, index.column());
}

QModelIndex SortedRoster::mapFromSource(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const int row = rowOf(index.row());
    return row < 0 ? QModelIndex() : this->index(row, index.column());
}

SortedRoster::Key SortedRoster::keyOf(int sourceRow) const
{
    Key key;
    if (m_column < 0)
        return key;
    const QVariant value = ClassRoster::sortKey(m_source.at(sourceRow), m_column);
    if (value.typeId() == QMetaType::QString) {
        key.text = true;
        key.string = value.toString();
    } else {
        key.number = value.toDouble();
    }
    return key;
}

void SortedRoster::sort(int column, Qt::SortOrder order)
{
    m_column = column >= 0 && column < m_source.columnCount() ? column : -1;
    m_order = order;
    for (int row = 0; row < m_keys.size(); ++row)
        m_keys[row] = keyOf(row);
    // A new sort starts from the class list's own order: equal keys keep it.
    QList<int> order0(m_source.size());
    std::iota(order0.begin(), order0.end(), 0);
    arrange(order0);
}

void SortedRoster::rowsUpdated(const QList<int> &rows)
{
    if (m_column < 0)
        return;
    bool changed = false;
    for (int row : rows) {
        if (row < 0 || row >= m_keys.size())
            continue;
        Key key = keyOf(row);
        if (!(key == m_keys.at(row))) {
            m_keys[row] = std::move(key);
            changed = true;
        }
    }
    if (changed)
        arrange(m_rows);
}

void SortedRoster::cellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                const QList<int> &roles)
{
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int at = rowOf(row);
        if (at >= 0)
            emit dataChanged(index(at, topLeft.column()), index(at, bottomRight.column()), roles);
    }
}

void SortedRoster::rowsInserted(int first, int last)
{
    const int count = last - first + 1;
    for (int &row : m_rows)
        if (row >= first)
            row += count;
    m_keys.insert(first, count, Key{});
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at + count - 1);
    for (int row = first; row <= last; ++row) {
        m_keys[row] = keyOf(row);
        m_rows.append(row);
    }
    positionsFromOrder();
    endInsertRows();
    if (m_column >= 0)
        arrange(m_rows);
}

void SortedRoster::rowsAboutToBeRemoved(int first, int last)
{
    // The class list still holds the rows: the places before them stay valid meanwhile.
    for (int row = last; row >= first; --row) {
        const int at = rowOf(row);
        if (at < 0)
            continue;
        beginRemoveRows({}, at, at);
        m_rows.removeAt(at);
        m_positions[row] = -1;
        for (int i = at; i < m_rows.size(); ++i)
            m_positions[m_rows.at(i)] = i;
        endRemoveRows();
    }
}

void SortedRoster::rowsRemoved(int first, int last)
{
    const int count = last - first + 1;
    m_keys.remove(first, count);
    for (int &row : m_rows)
        if (row > last)
            row -= count;
    positionsFromOrder();
}

void SortedRoster::reset()
{
    m_rows.resize(m_source.size());
    std::iota(m_rows.begin(), m_rows.end(), 0);
    m_keys.resize(m_source.size());
    for (int row = 0; row < m_keys.size(); ++row)
        m_keys[row] = keyOf(row);
    if (m_column >= 0) {
        const bool ascending = m_order == Qt::AscendingOrder;
        std::stable_sort(m_rows.begin(), m_rows.end(), [this, ascending](int a, int b) {
            return ascending ? m_keys.at(a) < m_keys.at(b) : m_keys.at(b) < m_keys.at(a);
        });
    }
    positionsFromOrder();
}

void SortedRoster::positionsFromOrder()
{
    m_positions.fill(-1, m_source.size());
    for (int at = 0; at < m_rows.size(); ++at)
        if (m_rows.at(at) < m_positions.size())
            m_positions[m_rows.at(at)] = at;
}

void SortedRoster::arrange(QList<int> order)
{
    if (m_column >= 0) {
        const bool ascending = m_order == Qt::AscendingOrder;
        std::stable_sort(order.begin(), order.end(), [this, ascending](int a, int b) {
            return ascending ? m_keys.at(a) < m_keys.at(b) : m_keys.at(b) < m_keys.at(a);
        });
    }
    if (order == m_rows)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<std::pair<int, int>> cells;
    cells.reserve(before.size());
    for (const QModelIndex &index : before)
        cells.append({sourceRow(index.row()), index.column()});
    m_rows = std::move(order);
    positionsFromOrder();
    QModelIndexList after;
    after.reserve(before.size());
    for (const auto &[row, column] : std::as_const(cells))
        after.append(row >= 0 ? index(rowOf(row), column) : QModelIndex());
    changePersistentIndexList(before, after);
    ++m_layoutChanges;
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
