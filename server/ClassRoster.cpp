// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/ClassRoster.h"

#include "core/Figures.h"
#include "server/History.h"

#include <QBrush>
#include <QColor>

ClassRoster::ClassRoster(QObject *parent)
    : QAbstractTableModel(parent)
{}

int ClassRoster::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ClassRoster::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ClassRoster::columnTitle(int column)
{
    static const char16_t *const titles[ColumnCount] = {
        u"学号",   u"姓名", u"班级", u"计算机", u"状态",   u"标记", u"用时", u"进度", u"速度",
        u"正确率", u"退格", u"错字", u"连接",   u"输入法", u"回复", u"问题", u"等级"};
    return column >= 0 && column < ColumnCount ? QString::fromUtf16(titles[column]) : QString();
}

QString ClassRoster::cellText(const StudentRow &row, int column, bool testRunning, int passSpeed,
                              int passAccuracy)
{
    const protocol::Report *figures = row.figures();
    switch (column) {
    case Number:
        return row.xuehao;
    case Name:
        return row.name;
    case Banji:
        return row.banji;
    case Computer:
        return row.computer;
    case Link:
        if (row.connection > 0)
            return (row.silent ? QStringLiteral("无响应 ") : QString()) +
                   row.peer.section(u':', 0, -2);
        return row.peer.isEmpty() ? QString() : QStringLiteral("已断开");
    case InputMethod:
        return row.inputMethod;
    case State:
        if (row.finished())
            return QStringLiteral("已结束（%1）").arg(StudentRow::finishText(row.finish));
        if (row.state == StudentRow::State::Ready && !testRunning)
            return QStringLiteral("就绪");
        return StudentRow::stateText(row.state);
    case Time:
        // Written as the student's own window writes the time used.
        return figures ? figures::elapsedText(figures->totalTime) : QString();
    case Progress:
        return figures ? QStringLiteral("%1/%2").arg(figures->inputCount).arg(figures->txtCount)
                       : QString();
    case Speed:
        return row.speed() ? figures::speedText(figures->right, figures->totalTime) : QString();
    case Accuracy:
        return row.accuracy() ? figures::accuracyText(figures->right, figures->inputCount)
                              : QString();
    case Backspaces:
        return figures ? QString::number(figures->backspaces) : QString();
    case Errors:
        return row.errChars();
    case Marks:
        return StudentRow::flagsText(row.flags);
    case Replies:
        return row.replies.join(u' ');
    case Problems:
        return row.problems > 0 ? QString::number(row.problems) : QString();
    case Grade:
        // Graded once finished; a roster student who took no part, once the test is over.
        if (row.finished() ||
            (!testRunning && row.identified() && row.state == StudentRow::State::Absent))
            return grades::text(grades::of(row, passSpeed, passAccuracy));
        return {};
    default:
        return {};
    }
}

QVariant ClassRoster::sortKey(const StudentRow &row, int column)
{
    const protocol::Report *figures = row.figures();
    switch (column) {
    case Number: {
        // Numbers sort as numbers when they are, else as text after them.
        bool ok = false;
        const qlonglong value = row.xuehao.toLongLong(&ok);
        return ok ? QVariant(value) : QVariant(row.xuehao);
    }
    case State:
        return row.finished() ? 100 + int(row.finish) : int(row.state);
    case Time:
        return figures ? figures->totalTime : -1;
    case Progress:
        return figures && figures->txtCount > 0 ? double(figures->inputCount) / figures->txtCount
                                                : -1.0;
    case Speed:
        return row.speed().value_or(-1.0);
    case Accuracy:
        return row.accuracy().value_or(-1.0);
    case Backspaces:
        return figures ? figures->backspaces : -1;
    case Errors:
        return int(row.errChars().size());
    case Marks:
        return row.flags;
    case Problems:
        return row.problems;
    default:
        return cellText(row, column);
    }
}

const ClassRoster::Texts &ClassRoster::texts(int row) const
{
    if (!m_textsValid.at(row)) {
        Texts &cells = m_texts[row];
        for (int column = 0; column < ColumnCount; ++column)
            cells[column] =
                cellText(m_rows.at(row), column, m_testRunning, m_passSpeed, m_passAccuracy);
        m_textsValid[row] = true;
    }
    return m_texts.at(row);
}

int ClassRoster::looks(const StudentRow &row)
{
    return (row.duplicate() ? 1 : 0) | (row.doubtful() ? 2 : 0) |
           (row.state == StudentRow::State::Absent || row.state == StudentRow::State::Gone ? 4 : 0);
}

QVariant ClassRoster::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const StudentRow &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        const Texts &cells = texts(index.row());
        // From now on a listener has seen this row: its changes are told.
        if (!m_shownValid.at(index.row())) {
            m_shown[index.row()] = cells;
            m_shownLooks[index.row()] = looks(row);
            m_shownValid[index.row()] = true;
        }
        return cells.at(index.column());
    }
    case SortRole:
        return sortKey(row, index.column());
    case ProgressRole: {
        const protocol::Report *figures = row.figures();
        if (index.column() != Progress || !figures || figures->txtCount <= 0)
            return {};
        return std::clamp(double(figures->inputCount) / figures->txtCount, 0.0, 1.0);
    }
    case Qt::ToolTipRole:
        if (index.column() == Problems && row.problems > 0)
            return row.lastProblem;
        if (index.column() == Errors)
            return row.errChars();
        if (index.column() == Link || (index.column() == Marks && row.duplicate()))
            return row.otherPeer.isEmpty()
                       ? row.peer
                       : QStringLiteral("本连接 %1，已登录的连接 %2").arg(row.peer, row.otherPeer);
        return {};
    case Qt::ForegroundRole:
        if (row.duplicate() || row.doubtful() || (index.column() == Problems && row.problems > 0))
            return QBrush(QColor(0xB0, 0, 0));
        if (row.state == StudentRow::State::Absent || row.state == StudentRow::State::Gone)
            return QBrush(Qt::gray);
        return {};
    case Qt::BackgroundRole:
        if (row.duplicate())
            return QBrush(QColor(0xFF, 0xE4, 0xD6));
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() >= Time && index.column() <= Backspaces)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

void ClassRoster::multiData(const QModelIndex &index, QModelRoleDataSpan roleDataSpan) const
{
    // One call for all the roles a delegate asks for when it paints a cell.
    for (QModelRoleData &roleData : roleDataSpan)
        roleData.setData(data(index, roleData.role()));
}

QVariant ClassRoster::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole) {
        switch (section) {
        case Link:
            return QStringLiteral("连接的地址；无响应：测试中几秒没有报告");
        case Time:
            return QStringLiteral("已用时间");
        case Progress:
            return QStringLiteral("已输入/总字数");
        case Speed:
            return QStringLiteral("每分钟正确字数");
        case Accuracy:
            return QStringLiteral("正确字数/已输入字数，百分比");
        case Marks:
            return QStringLiteral("重复登录、不可能的成绩（不计入全班统计）、不在名单");
        case Replies:
            return QStringLiteral(
                "学生端最近的回复：1008输入法 1010计时 1009开始 1011试题 1100重复登录");
        case Grade:
            return QStringLiteral(
                "结束后按本次测试的及格线评定：合格、不合格、缺考、待定（有标记）");
        default:
            return {};
        }
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

void ClassRoster::markChanged(int row)
{
    if (!m_changed.at(row)) {
        m_changed[row] = true;
        m_changedRows.append(row);
    }
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &ClassRoster::flush, Qt::QueuedConnection);
    }
}

void ClassRoster::markAllChanged()
{
    m_textsValid.fill(false);
    for (int row = 0; row < m_rows.size(); ++row)
        markChanged(row);
}

void ClassRoster::flush()
{
    m_flushQueued = false;
    if (m_changedRows.isEmpty())
        return;
    QList<int> rows = std::exchange(m_changedRows, {});
    std::sort(rows.begin(), rows.end());
    for (int row : std::as_const(rows))
        m_changed[row] = false;
    emit rowsUpdated(rows);
    // Only the cells whose text changed, one by one: a view repaints a single changed cell,
    // but the whole of what it shows for a range of them.
    for (int row : std::as_const(rows)) {
        if (row >= m_rows.size() || !m_shownValid.at(row))
            continue;
        const Texts now = texts(row);
        const int look = looks(m_rows.at(row));
        const bool whole = look != m_shownLooks.at(row);
        m_shownLooks[row] = look;
        for (int column = 0; column < ColumnCount; ++column) {
            if (!whole && now[column] == m_shown.at(row)[column])
                continue;
            m_shown[row][column] = now[column];
            const QModelIndex cell = index(row, column);
            emit dataChanged(cell, cell);
        }
    }
}

void ClassRoster::setPassMark(int speed, int accuracy)
{
    if (speed == m_passSpeed && accuracy == m_passAccuracy)
        return;
    m_passSpeed = speed;
    m_passAccuracy = accuracy;
    markAllChanged();
}

void ClassRoster::setTestRunning(bool running)
{
    if (m_testRunning == running)
        return;
    m_testRunning = running;
    markAllChanged();
}

int ClassRoster::addRow(const StudentRow &row)
{
    // Changes noted so far refer to the rows as they are: the view hears of them first.
    flush();
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    m_texts.append(Texts{});
    m_textsValid.append(false);
    m_shown.append(Texts{});
    m_shownLooks.append(0);
    m_shownValid.append(false);
    m_changed.append(false);
    if (row.connection > 0)
        m_byConnection.insert(row.connection, at);
    if (row.identified() && !row.duplicate() && !row.dismissed())
        m_byNumber.insert(row.xuehao, at);
    endInsertRows();
    return at;
}

void ClassRoster::removeRow(int row)
{
    flush();
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    m_texts.removeAt(row);
    m_textsValid.removeAt(row);
    m_shown.removeAt(row);
    m_shownLooks.removeAt(row);
    m_shownValid.removeAt(row);
    m_changed.removeAt(row);
    reindex();
    endRemoveRows();
}

void ClassRoster::clear()
{
    flush();
    beginResetModel();
    m_rows.clear();
    m_texts.clear();
    m_textsValid.clear();
    m_shown.clear();
    m_shownLooks.clear();
    m_shownValid.clear();
    m_changed.clear();
    reindex();
    endResetModel();
}

void ClassRoster::reindex()
{
    m_byConnection.clear();
    m_byNumber.clear();
    for (int i = 0; i < m_rows.size(); ++i) {
        const StudentRow &row = m_rows.at(i);
        if (row.connection > 0)
            m_byConnection.insert(row.connection, i);
        if (row.identified() && !row.duplicate() && !row.dismissed())
            m_byNumber.insert(row.xuehao, i);
    }
}
