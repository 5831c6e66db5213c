// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "server/StudentRow.h"
#include "server/TestSetup.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

#include <array>

// The class list as a table: one row per student of the test (from the roster or from a
// connection that said who it is) and, for a short while, per connection that has not. No
// widgets: the console window shows it in a view, the tests and the command-line server read
// it directly. Rows are never reordered here; sorting is the view's (SortRole gives numbers).
//
// A class reports every second: a row's texts are made when a view first asks for them after
// a change, so only the rows on screen cost anything. Once per pass of the event loop (or at
// flush()) the listeners hear which rows changed (rowsUpdated, for a sorting view to look at
// their keys) and then, one cell at a time, which of the texts they were shown changed: a view
// repaints those cells only, as it does for a table of items whose text was set.
class ClassRoster : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Number,
        Name,
        Banji,
        Computer,
        State,
        Marks,
        Time,
        Progress,
        Speed,
        Accuracy,
        Backspaces,
        Errors,
        Link,
        InputMethod,
        Replies,
        Problems,
        Grade,
        ColumnCount
    };
    // Sort key of a cell (a number where the column holds one); the fraction typed of the
    // progress column, for drawing it as a bar.
    static constexpr int SortRole = Qt::UserRole;
    static constexpr int ProgressRole = Qt::UserRole + 1;

    explicit ClassRoster(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    void multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int size() const { return int(m_rows.size()); }
    const StudentRow &at(int row) const { return m_rows.at(row); }
    const QList<StudentRow> &rows() const { return m_rows; }
    // The row of a connection, -1 when it has none.
    int rowOfConnection(int connection) const { return m_byConnection.value(connection, -1); }
    // The row holding a student number (not a duplicate's), -1 when none does.
    int rowOfNumber(const QString &xuehao) const { return m_byNumber.value(xuehao, -1); }

    int addRow(const StudentRow &row);
    void removeRow(int row);
    void clear();
    // Changes a row in place. The view hears of the changed rows once, when control returns to
    // the event loop (or at flush()).
    template <typename Change> void update(int row, Change change)
    {
        const int connection = m_rows.at(row).connection;
        const QString number = m_rows.at(row).xuehao;
        const int flags = m_rows.at(row).flags;
        change(m_rows[row]);
        const StudentRow &changed = m_rows.at(row);
        if (changed.connection != connection || changed.xuehao != number || changed.flags != flags)
            reindex();
        m_textsValid[row] = false;
        markChanged(row);
    }
    // Every row at once.
    template <typename Change> void updateAll(Change change)
    {
        for (StudentRow &row : m_rows)
            change(row);
        reindex();
        markAllChanged();
    }
    // Tells the listeners now about the rows changed since the last time.
    void flush();

    // Whether a test runs: a student who has not pressed start shows "未开始" then.
    void setTestRunning(bool running);
    bool testRunning() const { return m_testRunning; }
    // The pass mark the finished rows are graded against.
    void setPassMark(int speed, int accuracy);
    int passSpeed() const { return m_passSpeed; }
    int passAccuracy() const { return m_passAccuracy; }

    static QString columnTitle(int column);
    // The text of a cell as the table, the command-line server and the exported results show it.
    // A finished row's grade column grades it against the pass mark given.
    static QString cellText(const StudentRow &row, int column, bool testRunning = true,
                            int passSpeed = TestSetup::kDefaultPassSpeed,
                            int passAccuracy = TestSetup::kDefaultPassAccuracy);
    static QVariant sortKey(const StudentRow &row, int column);

signals:
    // Rows whose figures or state changed since the last flush, in increasing order; the
    // dataChanged() of their changed cells follow.
    void rowsUpdated(const QList<int> &rows);

private:
    using Texts = std::array<QString, ColumnCount>;
    // What the table looks like in a whole row, besides its texts: colours of a duplicate, of a
    // doubtful or an absent row.
    static int looks(const StudentRow &row);
    void reindex();
    void markChanged(int row);
    void markAllChanged();
    const Texts &texts(int row) const;

    QList<StudentRow> m_rows;
    QHash<int, int> m_byConnection;
    QHash<QString, int> m_byNumber;
    // The texts as they are now, made when asked for.
    mutable QList<Texts> m_texts;
    mutable QList<bool> m_textsValid;
    // The texts (and looks) a listener was last told of; a row nobody has asked for has none,
    // and its changes need no telling.
    mutable QList<Texts> m_shown;
    mutable QList<int> m_shownLooks;
    mutable QList<bool> m_shownValid;
    QList<bool> m_changed;
    QList<int> m_changedRows;
    bool m_testRunning = false;
    int m_passSpeed = TestSetup::kDefaultPassSpeed;
    int m_passAccuracy = TestSetup::kDefaultPassAccuracy;
    bool m_flushQueued = false;
};
