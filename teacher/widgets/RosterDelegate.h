// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

// Paints the cells of the class list: the style's panel (selection, a duplicate's background),
// the progress column's bar behind its "typed/count" text, and the text, left or right as the
// cell says, cut with "…" where the column is too narrow. A class changes a few cells of every
// row each second; the texts are laid out once and kept (QStaticText): the times, speeds and
// states repeat from row to row and from second to second.
class RosterDelegate : public QStyledItemDelegate
{
public:
    explicit RosterDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // Laid-out texts kept at most; then the store starts again.
    static constexpr int kKeptTexts = 4096;

private:
    const QStaticText &laidOut(const QString &text, const QFont &font) const;

    mutable QHash<QString, QStaticText> m_texts;
    mutable QFont m_font;
};
