// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/ResultDetail.h"

#include "core/Figures.h"
#include "core/widgets/Fonts.h"
#include "hints/widgets/RootGlyphs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel *cell(const QString &text, QWidget *parent, bool heading = false)
{
    auto *label = new QLabel(text, parent);
    // What the student typed is shown as written, never read as markup.
    label->setTextFormat(Qt::PlainText);
    QFont font = clientFont(QStringLiteral("宋体"), heading ? 10.5 : 12);
    font.setBold(heading);
    label->setFont(font);
    return label;
}

} // namespace

SpeedCurve::SpeedCurve(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(110);
}

void SpeedCurve::setSpeeds(const QList<int> &tenths)
{
    m_tenths = tenths;
    update();
}

void SpeedCurve::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const QFont font = clientFont(QStringLiteral("宋体"), 9);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    const int top = metrics.height() + 4;
    const int bottom = height() - metrics.height() - 6;
    const int left = metrics.horizontalAdvance(QStringLiteral("0000.0")) + 8;
    const int right = width() - 8;
    painter.setPen(QColor(150, 150, 150));
    painter.drawLine(left, bottom, right, bottom);
    painter.drawLine(left, top, left, bottom);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, width(), metrics.height()), Qt::AlignLeft,
                     QStringLiteral("每秒速度（字/分）"));
    if (m_tenths.isEmpty()) {
        painter.drawText(QRect(left, top, right - left, bottom - top), Qt::AlignCenter,
                         QStringLiteral("没有计时"));
        return;
    }

    const int highest = std::max(10, *std::max_element(m_tenths.cbegin(), m_tenths.cend()));
    const int seconds = int(m_tenths.size());
    painter.drawText(QRect(0, top - metrics.height() / 2, left - 4, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, figures::tenthsText(highest));
    painter.drawText(QRect(0, bottom - metrics.height() / 2, left - 4, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    painter.drawText(QRect(left, bottom + 2, right - left, metrics.height() + 4),
                     Qt::AlignRight | Qt::AlignTop, QStringLiteral("%1秒").arg(seconds));

    const auto point = [&](int index) {
        const double x = seconds == 1 ? right : left + double(right - left) * index / (seconds - 1);
        const double y = bottom - double(bottom - top) * m_tenths[index] / highest;
        return QPointF(x, y);
    };
    QPainterPath path(point(0));
    for (int i = 1; i < seconds; ++i)
        path.lineTo(point(i));
    painter.setPen(QPen(QColor(0, 0, 255), 2));
    painter.drawPath(path);
    if (seconds == 1)
        painter.drawEllipse(point(0), 2, 2);
}

ResultDetail::ResultDetail(QWidget *parent)
    : QWidget(parent)
    , m_curve(new SpeedCurve(this))
    , m_accuracy(cell(QString(), this))
    , m_table(new QWidget)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_curve);
    layout->addWidget(m_accuracy);
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(m_table);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setMinimumHeight(120);
    layout->addWidget(scroll, 1);
    auto *grid = new QGridLayout(m_table);
    grid->setHorizontalSpacing(18);
    grid->setContentsMargins(8, 4, 8, 4);
}

void ResultDetail::fill(const TestResult &result)
{
    m_curve->setSpeeds(result.speedTenths);
    const bool practice = result.wrongKeys >= 0;
    QString line = result.accuracy.isEmpty() ? QStringLiteral("正确率：—")
                                             : QStringLiteral("正确率：%1%").arg(result.accuracy);
    if (practice)
        line += QStringLiteral("    按错键：%1次").arg(result.wrongKeys);
    m_accuracy->setText(line);

    auto *grid = static_cast<QGridLayout *>(m_table->layout());
    while (QLayoutItem *item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_rows.clear();
    if (result.mistakes.isEmpty()) {
        grid->addWidget(cell(practice ? QStringLiteral("每个字根都一次按对了。")
                                      : QStringLiteral("没有打错的字。"),
                             m_table),
                        0, 0);
        return;
    }
    const QStringList headings =
        practice
            ? QStringList{QStringLiteral("字根"), QStringLiteral("按成"), QStringLiteral("正确键")}
            : QStringList{QStringLiteral("原字"), QStringLiteral("打成"),
                          QStringLiteral("五笔编码"), QStringLiteral("拼音"),
                          QStringLiteral("字根")};
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(cell(headings[c], m_table, true), 0, c);
    const qreal ratio = devicePixelRatioF();
    for (int r = 0; r < result.mistakes.size(); ++r) {
        const Mistake &m = result.mistakes[r];
        QStringList texts{m.expected, m.typed, m.wubi.join(u' ')};
        if (!practice)
            texts << m.pinyin.join(u' ');
        for (int c = 0; c < texts.size(); ++c)
            grid->addWidget(cell(texts[c], m_table), r + 1, c);
        if (!practice) {
            auto *glyphs = new QWidget(m_table);
            auto *row = new QHBoxLayout(glyphs);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(2);
            QStringList numbers;
            for (int number : m.glyphs) {
                auto *picture = new QLabel(glyphs);
                picture->setPixmap(rootglyphs::glyph(number, ratio));
                picture->setProperty("glyphNumber", number);
                row->addWidget(picture);
                numbers << QString::number(number);
            }
            row->addStretch(1);
            grid->addWidget(glyphs, r + 1, int(texts.size()));
            texts << numbers.join(u' ');
        }
        m_rows << texts;
    }
    grid->setColumnStretch(int(headings.size()), 1);
    grid->setRowStretch(int(result.mistakes.size()) + 1, 1);
}
