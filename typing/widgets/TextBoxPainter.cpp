// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing/widgets/TextBoxPainter.h"

#include "core/TextModel.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>

#include <algorithm>
#include <utility>

TextBoxPainter::TextBoxPainter(const TextModel &model, QAbstractScrollArea &box)
    : QObject()
    , m_model(model)
    , m_box(box)
    , m_layout(model)
{
    m_layout.setViewWidth(box.viewport()->width());
    m_layout.setFont(box.font());
    m_layout.reset();
    updateAll();

    const TextModel *m = &model;
    // A change of the text ends any composition first.
    connect(m, &TextModel::aboutToEdit, this, [this] { setPreedit(QString(), 0); });
    connect(m, &TextModel::edited, this, [this](int from, int removed, int inserted) {
        const TextBoxLayout::Lines lines = m_layout.edited(from, removed, inserted);
        updateScrollBar();
        updateLines(lines);
        textChanged();
    });
    connect(m, &TextModel::reset, this, [this] {
        m_layout.reset();
        updateAll();
        textChanged();
    });
    connect(m, &TextModel::selectionAboutToChange, this,
            [this](int anchor, int caret) { selectionAboutToChange(anchor, caret); });
    connect(m, &TextModel::selectionChanged, this, [this](int, int, TextModel::Follow follow) {
        selectionChanged(follow == TextModel::Follow::SelStart);
    });
    connect(m, &TextModel::formatChanged, this, [this](int from, int to) {
        for (const QRectF &rect : m_layout.rangeRects(from, to))
            update(rect);
    });
    connect(m, &TextModel::readOnlyChanged, this, [this](bool readOnly) {
        if (readOnly)
            setPreedit(QString(), 0);
        updateCaret();
    });
}

void TextBoxPainter::paint(QPainter &painter, const QRect &area) const
{
    const bool focus = m_box.hasFocus();
    const bool caret = focus && m_caretOn && !m_model.isReadOnly() && m_box.isEnabled();
    m_layout.paint(painter, area, scrollY(), m_box.palette(), focus, caret);
}

void TextBoxPainter::fontChanged()
{
    m_layout.setFont(m_box.font());
    updateAll();
}

void TextBoxPainter::resized()
{
    if (m_layout.setViewWidth(m_box.viewport()->width()))
        updateAll();
    else
        updateScrollBar();
}

void TextBoxPainter::focusChanged()
{
    restartBlink();
    m_box.viewport()->update();
}

void TextBoxPainter::setPreedit(const QString &preedit, int cursor)
{
    preeditMoved(m_layout.setPreedit(preedit, cursor));
}

void TextBoxPainter::setCaretAtLineEnd(bool atLineEnd)
{
    if (m_layout.caretAtLineEnd() == atLineEnd)
        return;
    updateCaret();
    m_layout.setCaretAtLineEnd(atLineEnd);
    showCaret();
}

void TextBoxPainter::showCaret()
{
    restartBlink();
    updateCaret();
    scheduleScroll(Scroll::Caret);
}

void TextBoxPainter::ensureVisible(int position)
{
    scrollToLine(m_layout.lineOf(std::clamp(position, 0, m_model.length())));
}

QRect TextBoxPainter::characterRect(int position) const
{
    return toViewport(m_layout.characterRect(position));
}

QRect TextBoxPainter::caretRect() const
{
    return toViewport(m_layout.caretRect());
}

int TextBoxPainter::positionAt(QPointF point) const
{
    return m_layout.positionAt(point + QPointF(0, scrollY()));
}

void TextBoxPainter::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_caretOn = !m_caretOn;
    updateCaret();
}

int TextBoxPainter::scrollY() const
{
    return m_box.verticalScrollBar()->value();
}

QRect TextBoxPainter::toViewport(const QRectF &content) const
{
    return content.translated(0, -scrollY()).toAlignedRect();
}

void TextBoxPainter::update(const QRectF &content)
{
    const QRect area = toViewport(content) & m_box.viewport()->rect();
    if (!area.isEmpty())
        m_box.viewport()->update(area);
}

void TextBoxPainter::updateLines(std::optional<TextBoxLayout::Lines> lines)
{
    if (lines)
        update(m_layout.linesRect(*lines));
}

void TextBoxPainter::updateCaret()
{
    if (m_box.hasFocus())
        update(m_layout.caretRect().adjusted(-1, 0, 1, 0));
}

void TextBoxPainter::updateScrollBar()
{
    QScrollBar *bar = m_box.verticalScrollBar();
    const int height = m_box.viewport()->height();
    bar->setRange(0, std::max(0, m_layout.contentHeight() - height));
    bar->setPageStep(height);
    bar->setSingleStep(m_layout.lineHeight());
}

void TextBoxPainter::updateAll()
{
    updateScrollBar();
    m_box.viewport()->update();
}

void TextBoxPainter::restartBlink()
{
    m_caretOn = true;
    const int flash = QApplication::cursorFlashTime();
    if (m_box.hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

// Scrolls once the current event has been handled, whatever number of selection changes it
// made.
void TextBoxPainter::scheduleScroll(Scroll target)
{
    const bool queued = m_pendingScroll != Scroll::None;
    m_pendingScroll = target;
    if (queued)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            const Scroll target = std::exchange(m_pendingScroll, Scroll::None);
            if (target != Scroll::None)
                scrollToLine(target == Scroll::Caret ? m_layout.caretLine()
                                                     : m_layout.lineOf(m_model.selStart()));
        },
        Qt::QueuedConnection);
}

void TextBoxPainter::scrollToLine(int line)
{
    QScrollBar *bar = m_box.verticalScrollBar();
    bar->setValue(m_layout.scrollToShow(line, bar->value(), m_box.viewport()->height()));
}

void TextBoxPainter::preeditMoved(std::optional<TextBoxLayout::Lines> lines)
{
    if (!lines)
        return;
    updateScrollBar();
    updateLines(lines);
}

void TextBoxPainter::textChanged()
{
    restartBlink();
    scheduleScroll(Scroll::Caret);
}

// The model raises this only when the selection moves. The display changes only where the
// focus shows a selection.
void TextBoxPainter::selectionAboutToChange(int anchor, int caret)
{
    if (!m_box.hasFocus())
        return;
    updateCaret();
    const int low = std::min({m_model.anchor(), m_model.caret(), anchor, caret});
    const int high = std::max({m_model.anchor(), m_model.caret(), anchor, caret});
    if (m_model.anchor() != m_model.caret() || anchor != caret)
        updateLines(TextBoxLayout::Lines{m_layout.lineOf(low), m_layout.lineOf(high)});
}

void TextBoxPainter::selectionChanged(bool followSelStart)
{
    m_layout.setCaretAtLineEnd(false);
    preeditMoved(m_layout.followCaret());
    if (m_box.hasFocus()) {
        restartBlink();
        updateCaret();
    }
    scheduleScroll(followSelStart ? Scroll::SelStart : Scroll::Caret);
}
