#include "hints/RootChart.h"

#include <QPainter>

RootChart::RootChart(QWidget *parent)
    : QWidget(parent)
{}

void RootChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("五笔字根表 86版"));
}
