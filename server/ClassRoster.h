#pragma once

#include "StudentRow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

// The class list as a table: one row per connection, kept when the student reconnects. No
// widgets: the console window shows it in a view, the tests and the command-line server read it
// directly. Rows are never reordered here; sorting is the view's (sortRole() gives numbers).
class ClassRoster : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Number,
        Name,
        Banji,
        Computer,
        InputMethod,
        State,
        Time,
        Progress,
        Speed,
        Accuracy,
        Backspaces,
        Errors,
        Replies,
        Problems,
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
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int size() const { return int(m_rows.size()); }
    const StudentRow &at(int row) const { return m_rows.at(row); }
    const QList<StudentRow> &rows() const { return m_rows; }
    // The row of a connection, -1 when it has none.
    int rowOfConnection(int connection) const { return m_byConnection.value(connection, -1); }

    int addRow(const StudentRow &row);
    void removeRow(int row);
    // Changes a row in place. The view hears of the changed rows once, when control returns to
    // the event loop (or at flush()): a class reporting every second then costs one re-sort and
    // one repaint instead of one per report.
    template <typename Change> void update(int row, Change change)
    {
        const int before = m_rows.at(row).connection;
        change(m_rows[row]);
        if (m_rows.at(row).connection != before)
            reindex();
        markChanged(row, row);
    }
    // Every row at once (a new test clears the figures).
    template <typename Change> void updateAll(Change change)
    {
        for (StudentRow &row : m_rows)
            change(row);
        reindex();
        if (!m_rows.isEmpty())
            markChanged(0, int(m_rows.size()) - 1);
    }
    // Tells the view now about the rows changed since the last time.
    void flush();

    static QString columnTitle(int column);
    // The text of a cell as the table and the exported results show it.
    static QString cellText(const StudentRow &row, int column);

private:
    void reindex();
    void markChanged(int first, int last);

    QList<StudentRow> m_rows;
    QHash<int, int> m_byConnection;
    int m_changedFirst = -1;
    int m_changedLast = -1;
    bool m_flushQueued = false;
};
