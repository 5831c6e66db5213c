// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "teacher/widgets/RosterDelegate.h"

#include "server/ClassRoster.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

RosterDelegate::RosterDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{}

const QStaticText &RosterDelegate::laidOut(const QString &text, const QFont &font) const
{
    if (font != m_font) {
        m_texts.clear();
        m_font = font;
    }
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        if (m_texts.size() >= kKeptTexts)
            m_texts.clear();
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setPerformanceHint(QStaticText::AggressiveCaching);
        laid.prepare(QTransform(), font);
        it = m_texts.insert(text, laid);
    }
    return *it;
}

void RosterDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    // The roles a cell of the class list has, in one call.
    std::array<QModelRoleData, 5> roles = {
        QModelRoleData(Qt::DisplayRole), QModelRoleData(Qt::ForegroundRole),
        QModelRoleData(Qt::BackgroundRole), QModelRoleData(Qt::TextAlignmentRole),
        QModelRoleData(ClassRoster::ProgressRole)};
    index.multiData(roles);
    const QString text = roles[0].data().toString();

    QStyleOptionViewItem panel = option;
    panel.index = index;
    if (roles[2].data().canConvert<QBrush>())
        panel.backgroundBrush = roles[2].data().value<QBrush>();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, widget);

    if (const QVariant fraction = roles[4].data(); fraction.isValid()) {
        QRectF bar = QRectF(option.rect).adjusted(2, 3, -2, -3);
        bar.setWidth(bar.width() * fraction.toDouble());
        painter->fillRect(bar, QColor(0x9C, 0xD3, 0x8C));
    }

    if (!text.isEmpty()) {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            !(option.state & QStyle::State_Enabled)
                ? QPalette::Disabled
                : (option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive);
        QColor colour =
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        if (!selected && roles[1].data().canConvert<QBrush>())
            colour = roles[1].data().value<QBrush>().color();
        painter->setPen(colour);
        const QStaticText &laid = laidOut(text, option.font);
        const QSizeF size = laid.size();
        const int alignment = roles[3].data().isValid() ? roles[3].data().toInt()
                                                        : int(Qt::AlignLeft | Qt::AlignVCenter);
        if (size.width() <= room.width()) {
            const qreal x =
                alignment & Qt::AlignRight ? room.right() + 1 - size.width() : room.left();
            const qreal y = room.top() + (room.height() - size.height()) / 2;
            painter->drawStaticText(QPointF(x, y), laid);
        } else {
            // Too wide for the column: cut, as a table cuts it.
            painter->setFont(option.font);
            const QString cut = option.fontMetrics.elidedText(text, Qt::ElideRight, room.width());
            painter->drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cut);
        }
    }
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = option.palette.color(QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}
