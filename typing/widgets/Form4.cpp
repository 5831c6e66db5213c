// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/Form4.h"

#include "core/widgets/Fonts.h"
#include "core/widgets/Geometry.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSvgRenderer>

namespace {

QIcon messageIcon()
{
    QIcon icon;
    QSvgRenderer renderer(QStringLiteral(":/pictures/message.svg"));
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

Form4::Form4(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("来自服务器的消息"));
    setWindowIcon(messageIcon());

    Text1 = new QPlainTextEdit(this);
    Text1->setReadOnly(true);
    Text1->setFont(clientFont(QStringLiteral("宋体"), 12));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    resize(twipsToPixels(this, 11505), twipsToPixels(this, 5955));
    Form_Resize();
}

void Form4::appendText(const QString &text)
{
    QTextCursor cursor(Text1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    Text1->verticalScrollBar()->setValue(Text1->verticalScrollBar()->maximum());
}

void Form4::Form_Resize()
{
    Text1->setGeometry(0, 0, width(), height());
}

void Form4::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}
