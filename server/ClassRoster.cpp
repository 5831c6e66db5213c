#include "ClassRoster.h"

#include "core/Figures.h"

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
    switch (column) {
    case Number:
        return QStringLiteral("学号");
    case Name:
        return QStringLiteral("姓名");
    case Banji:
        return QStringLiteral("班级");
    case Computer:
        return QStringLiteral("计算机");
    case InputMethod:
        return QStringLiteral("输入法");
    case State:
        return QStringLiteral("状态");
    case Time:
        return QStringLiteral("用时");
    case Progress:
        return QStringLiteral("进度");
    case Speed:
        return QStringLiteral("速度");
    case Accuracy:
        return QStringLiteral("正确率");
    case Backspaces:
        return QStringLiteral("退格");
    case Errors:
        return QStringLiteral("错字");
    case Replies:
        return QStringLiteral("回复");
    case Problems:
        return QStringLiteral("问题");
    default:
        return {};
    }
}

QString ClassRoster::cellText(const StudentRow &row, int column)
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
    case InputMethod:
        return row.inputMethod;
    case State: {
        QString text = StudentRow::stateText(row.state);
        if (row.duplicate)
            text += QStringLiteral("（重复登录）");
        return text;
    }
    case Time:
        return figures ? QString::number(figures->totalTime) : QString();
    case Progress:
        return figures ? QStringLiteral("%1/%2").arg(figures->inputCount).arg(figures->txtCount)
                       : QString();
    case Speed:
        // Written as the student's own window writes it.
        return row.speed() ? figures::speedText(figures->right, figures->totalTime) : QString();
    case Accuracy:
        return row.accuracy() ? figures::accuracyText(figures->right, figures->inputCount)
                              : QString();
    case Backspaces:
        return figures ? QString::number(figures->backspaces) : QString();
    case Errors:
        // The end report carries no error characters: the last progress report's stand.
        return row.live ? row.live->errChars : QString();
    case Replies:
        return row.replies.join(u' ');
    case Problems:
        return row.problems > 0 ? QString::number(row.problems) : QString();
    default:
        return {};
    }
}

QVariant ClassRoster::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const StudentRow &row = m_rows.at(index.row());
    const protocol::Report *figures = row.figures();
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, index.column());
    case SortRole:
        switch (index.column()) {
        case Number: {
            // Numbers sort as numbers when they are, else as text after them.
            bool ok = false;
            const qlonglong value = row.xuehao.toLongLong(&ok);
            return ok ? QVariant(value) : QVariant(row.xuehao);
        }
        case State:
            return int(row.state);
        case Time:
            return figures ? figures->totalTime : -1;
        case Progress:
            return figures && figures->txtCount > 0
                       ? double(figures->inputCount) / figures->txtCount
                       : -1.0;
        case Speed:
            return row.speed().value_or(-1.0);
        case Accuracy:
            return row.accuracy().value_or(-1.0);
        case Backspaces:
            return figures ? figures->backspaces : -1;
        case Errors:
            return row.live ? int(row.live->errChars.size()) : -1;
        case Problems:
            return row.problems;
        default:
            return cellText(row, index.column());
        }
    case ProgressRole:
        if (index.column() != Progress || !figures || figures->txtCount <= 0)
            return {};
        return std::clamp(double(figures->inputCount) / figures->txtCount, 0.0, 1.0);
    case Qt::ToolTipRole:
        if (index.column() == Problems && row.problems > 0)
            return row.lastProblem;
        if (index.column() == Errors && row.live)
            return row.live->errChars;
        return {};
    case Qt::ForegroundRole:
        if (row.duplicate || (index.column() == Problems && row.problems > 0))
            return QBrush(QColor(0xB0, 0, 0));
        if (row.state == StudentRow::State::Gone)
            return QBrush(Qt::gray);
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() >= Time && index.column() <= Backspaces)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant ClassRoster::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnTitle(section);
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole) {
        switch (section) {
        case Time:
            return QStringLiteral("已用时间，秒");
        case Progress:
            return QStringLiteral("已输入/总字数");
        case Speed:
            return QStringLiteral("每分钟正确字数");
        case Accuracy:
            return QStringLiteral("正确字数/已输入字数，百分比");
        case Replies:
            return QStringLiteral(
                "学生端最近的回复：1008输入法 1010计时 1009开始 1011试题 1100重复登录");
        default:
            return {};
        }
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return {};
}

void ClassRoster::markChanged(int first, int last)
{
    m_changedFirst = m_changedFirst < 0 ? first : std::min(m_changedFirst, first);
    m_changedLast = std::max(m_changedLast, last);
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, &ClassRoster::flush, Qt::QueuedConnection);
    }
}

void ClassRoster::flush()
{
    m_flushQueued = false;
    if (m_changedFirst < 0)
        return;
    const int first = m_changedFirst;
    const int last = std::min(m_changedLast, int(m_rows.size()) - 1);
    m_changedFirst = m_changedLast = -1;
    if (first <= last)
        emit dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

int ClassRoster::addRow(const StudentRow &row)
{
    // Changes noted so far refer to the rows as they are: the view hears of them first.
    flush();
    const int at = int(m_rows.size());
    beginInsertRows({}, at, at);
    m_rows.append(row);
    if (row.connection > 0)
        m_byConnection.insert(row.connection, at);
    endInsertRows();
    return at;
}

void ClassRoster::removeRow(int row)
{
    flush();
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    reindex();
    endRemoveRows();
}

void ClassRoster::reindex()
{
    m_byConnection.clear();
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).connection > 0)
            m_byConnection.insert(m_rows.at(i).connection, i);
}
