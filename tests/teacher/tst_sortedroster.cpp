// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/support/TestRegistry.h"

#include "core/Figures.h"
#include "server/ClassRoster.h"
#include "server/SortedRoster.h"

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTest>

// The class list tells only the cells whose text changed, and the sorted table moves rows only
// when a key changed their order: what keeps a class of hundreds cheap to repaint every second.
class SortedRosterTest : public QObject
{
    Q_OBJECT

    static StudentRow typist(const QString &number, int right, int time)
    {
        StudentRow row;
        row.xuehao = number;
        row.name = QStringLiteral("学生") + number;
        row.state = StudentRow::State::Typing;
        row.connection = number.toInt();
        row.peer = QStringLiteral("127.0.0.1:%1").arg(40000 + number.toInt());
        protocol::Report report;
        report.xuehao = number;
        report.totalTime = time;
        report.txtCount = 300;
        report.inputCount = right;
        report.right = right;
        row.live = report;
        return row;
    }
    static void setFigures(ClassRoster &roster, int row, int right, int time)
    {
        roster.update(row, [&](StudentRow &r) {
            r.live->right = right;
            r.live->inputCount = right;
            r.live->totalTime = time;
        });
    }
    // Asks for every cell's text, as a view painting the whole table does.
    static void show(const QAbstractItemModel &model)
    {
        for (int row = 0; row < model.rowCount(); ++row)
            for (int column = 0; column < model.columnCount(); ++column)
                (void)model.index(row, column).data();
    }
    static QStringList numbers(const SortedRoster &sorted)
    {
        QStringList list;
        for (int row = 0; row < sorted.rowCount(); ++row)
            list << sorted.index(row, ClassRoster::Number).data().toString();
        return list;
    }

private slots:
    void onlyTheCellsWhoseTextChangedAreTold()
    {
        ClassRoster roster;
        roster.setTestRunning(true);
        roster.addRow(typist("1", 60, 60));
        roster.addRow(typist("2", 30, 60));
        roster.flush();
        show(roster);
        QSignalSpy changed(&roster, &QAbstractItemModel::dataChanged);
        // The same figures again: nothing to repaint.
        setFigures(roster, 0, 60, 60);
        roster.flush();
        QCOMPARE(changed.size(), 0);
        // One more second, the same characters: the time and the speed change, not the rest.
        setFigures(roster, 1, 30, 61);
        roster.flush();
        QList<int> columns;
        for (const QList<QVariant> &signal : std::as_const(changed)) {
            const auto topLeft = signal.at(0).toModelIndex();
            const auto bottomRight = signal.at(1).toModelIndex();
            QCOMPARE(topLeft, bottomRight); // cell by cell
            QCOMPARE(topLeft.row(), 1);
            columns << topLeft.column();
        }
        QCOMPARE(columns, (QList<int>{ClassRoster::Time, ClassRoster::Speed}));
        // A mark colours the whole row: every cell of it.
        changed.clear();
        roster.update(0, [](StudentRow &r) { r.flags |= StudentRow::TooFast; });
        roster.flush();
        QCOMPARE(changed.size(), int(ClassRoster::ColumnCount));
    }

    void rowsNobodyLookedAtAreNotTold()
    {
        ClassRoster roster;
        roster.addRow(typist("1", 60, 60));
        roster.flush();
        QSignalSpy changed(&roster, &QAbstractItemModel::dataChanged);
        QSignalSpy updated(&roster, &ClassRoster::rowsUpdated);
        setFigures(roster, 0, 90, 61);
        roster.flush();
        QCOMPARE(changed.size(), 0);
        // A sorting model hears of it all the same.
        QCOMPARE(updated.size(), 1);
        QCOMPARE(updated.first().first().value<QList<int>>(), QList<int>{0});
        // The text asked for now is the new one.
        QCOMPARE(roster.index(0, ClassRoster::Time).data().toString(), figures::elapsedText(61));
    }

    void theOrderMovesOnlyWhenAKeyCrossesAnother()
    {
        ClassRoster roster;
        SortedRoster sorted(roster);
        roster.setTestRunning(true);
        roster.addRow(typist("1", 30, 60));
        roster.addRow(typist("2", 60, 60));
        roster.addRow(typist("3", 60, 60)); // as fast as 2: stays after it
        roster.addRow(typist("4", 10, 60));
        roster.flush();
        sorted.sort(ClassRoster::Speed, Qt::DescendingOrder);
        QCOMPARE(numbers(sorted), (QStringList{"2", "3", "1", "4"}));
        show(sorted);
        QSignalSpy layouts(&sorted, &QAbstractItemModel::layoutChanged);
        QSignalSpy cells(&sorted, &QAbstractItemModel::dataChanged);

        // Everyone a second on at the same speed: cells change, the order does not.
        for (int row = 0; row < 4; ++row)
            setFigures(roster, row, roster.at(row).live->right * 61 / 60, 61);
        roster.flush();
        QCOMPARE(layouts.size(), 0);
        QVERIFY(!cells.isEmpty());
        for (const QList<QVariant> &signal : std::as_const(cells)) {
            // Told at the place shown, which holds that student.
            const QModelIndex cell = signal.at(0).toModelIndex();
            QCOMPARE(sorted.mapToSource(cell).row(), sorted.sourceRow(cell.row()));
        }
        QCOMPARE(numbers(sorted), (QStringList{"2", "3", "1", "4"}));

        // 3 passes 2, and a selected row goes with its student.
        QItemSelectionModel selection(&sorted);
        selection.select(sorted.index(3, 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        setFigures(roster, 2, 80, 61);
        roster.flush();
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(numbers(sorted), (QStringList{"3", "2", "1", "4"}));
        QCOMPARE(selection.selectedRows().size(), 1);
        QCOMPARE(selection.selectedRows().first().data().toString(), "4");

        // 1 and 4 at the same speed now: equal keys keep the places they had.
        setFigures(roster, 3, 31, 61);
        setFigures(roster, 0, 31, 61);
        roster.flush();
        QCOMPARE(numbers(sorted), (QStringList{"3", "2", "1", "4"}));
    }

    void rowsComingAndGoingKeepTheMapping()
    {
        ClassRoster roster;
        SortedRoster sorted(roster);
        sorted.sort(ClassRoster::Speed, Qt::DescendingOrder);
        roster.addRow(typist("1", 30, 60));
        roster.addRow(typist("2", 60, 60));
        roster.addRow(typist("3", 90, 60));
        QCOMPARE(numbers(sorted), (QStringList{"3", "2", "1"}));
        roster.removeRow(1);
        QCOMPARE(numbers(sorted), (QStringList{"3", "1"}));
        for (int at = 0; at < sorted.rowCount(); ++at)
            QCOMPARE(sorted.rowOf(sorted.sourceRow(at)), at);
        roster.addRow(typist("5", 45, 60));
        QCOMPARE(numbers(sorted), (QStringList{"3", "5", "1"}));
        // By number, as numbers (10 after 9).
        roster.addRow(typist("10", 1, 60));
        sorted.sort(ClassRoster::Number, Qt::AscendingOrder);
        QCOMPARE(numbers(sorted), (QStringList{"1", "3", "5", "10"}));
        roster.clear();
        QCOMPARE(sorted.rowCount(), 0);
    }
};

CLIENT_TEST(SortedRosterTest)
#include "tst_sortedroster.moc"
