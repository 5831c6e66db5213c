// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/Geometry.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace {

int dpiOf(const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 0;
    return dpi > 0 ? dpi : 96;
}

} // namespace

int twipsToPixels(const QWidget *widget, int twips)
{
    return qRound(twips * dpiOf(widget) / 1440.0);
}

int pixelsToTwips(const QWidget *widget, int pixels)
{
    return qRound(pixels * 1440.0 / dpiOf(widget));
}

void placeInTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(widget, left), twipsToPixels(widget, top),
                        twipsToPixels(widget, width), twipsToPixels(widget, height));
}

void fitLabel(QLabel *label, Grow grow)
{
    const bool wraps = label->wordWrap();
    const int width = wraps ? label->width() : std::max(label->width(), label->sizeHint().width());
    const int needed = wraps ? label->heightForWidth(width) : label->sizeHint().height();
    const int missing = std::max(0, needed - label->height());
    const int top = grow == Grow::AroundMiddle ? label->y() - missing / 2 : label->y();
    label->setGeometry(label->x(), top, width, label->height() + missing);
}

void placeAbove(QLabel *label, int left, int top, int limit)
{
    label->adjustSize();
    const QFontMetrics metrics(label->font());
    const QRect ink = metrics.tightBoundingRect(label->text());
    const int baseline = (label->height() - metrics.height()) / 2 + metrics.ascent();
    const int gap = std::max(2, metrics.height() / 10);
    const int raised = std::min(top, limit - gap - (baseline + ink.bottom()));
    label->move(left, std::max(raised, -(baseline + ink.top())));
}

void centerOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame is not known before the window is shown; the window's own size is close enough.
    window->move(area.x() + (area.width() - window->width()) / 2,
                 area.y() + (area.height() - window->height()) / 2);
}

QSize fitClientSize(const QSize &wanted, const QMargins &frame, const QRect &available)
{
    const int roomWidth = available.width() - frame.left() - frame.right();
    const int roomHeight = available.height() - frame.top() - frame.bottom();
    return {std::max(1, std::min(wanted.width(), roomWidth)),
            std::max(1, std::min(wanted.height(), roomHeight))};
}

QMargins fitToScreen(QWidget *window, const QSize &minimum)
{
    const QMargins frame = frameMargins(window);
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window->setMinimumSize(minimum);
        return frame;
    }
    const QRect available = screen->availableGeometry();
    window->setMinimumSize(minimum.boundedTo(fitClientSize(minimum, frame, available)));
    const QSize fitted = fitClientSize(window->size(), frame, available);
    if (fitted != window->size())
        window->resize(fitted);
    if (window->isVisible() && !frame.isNull()) {
        const QRect outer = window->frameGeometry();
        const int x = std::clamp(outer.x(), available.left(),
                                 std::max(available.left(), available.right() + 1 - outer.width()));
        const int y =
            std::clamp(outer.y(), available.top(),
                       std::max(available.top(), available.bottom() + 1 - outer.height()));
        if (x != outer.x() || y != outer.y())
            window->move(x, y);
    }
    return frame;
}

QMargins frameMargins(const QWidget *window, const QWidget *like)
{
    const auto marginsOf = [](const QWidget *w) {
        const QRect outer = w->frameGeometry();
        const QRect inner = w->geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    };
    QMargins margins = window ? marginsOf(window) : QMargins();
    if (margins.isNull() && like && like->isVisible())
        margins = marginsOf(like);
    return margins;
}

QRect placeClearOf(const QRect &available, const QRect &owner, const QRect &keepClear,
                   const QSize &frameSize, int minHeight)
{
    const int width = std::min(frameSize.width(), available.width());
    const int height = std::min(frameSize.height(), available.height());
    const auto clampX = [&](int x) {
        return std::clamp(x, available.left(), available.right() + 1 - width);
    };
    const auto clampY = [&](int y) {
        return std::clamp(y, available.top(), available.bottom() + 1 - height);
    };

    // Beside the owner: to the right, to the left, below, above; below and above made lower
    // to fit the room there.
    if (owner.right() + 1 + width <= available.right() + 1)
        return {owner.right() + 1, clampY(owner.top()), width, height};
    if (owner.left() - width >= available.left())
        return {owner.left() - width, clampY(owner.top()), width, height};
    const int roomUnder = available.bottom() - owner.bottom();
    if (roomUnder >= std::min(height, minHeight))
        return {clampX(owner.left()), owner.bottom() + 1, width, std::min(height, roomUnder)};
    const int roomOver = owner.top() - available.top();
    if (roomOver >= std::min(height, minHeight)) {
        const int lower = std::min(height, roomOver);
        return {clampX(owner.left()), owner.top() - lower, width, lower};
    }

    // Over the owner, above what must stay visible (from the owner's top), or below it.
    const int top =
        std::clamp(owner.top(), available.top(), std::max(available.top(), keepClear.top()));
    const int roomAbove = keepClear.top() - top;
    if (roomAbove >= minHeight)
        return {clampX(owner.left()), top, width, std::min(height, roomAbove)};
    const int roomBelow = available.bottom() - keepClear.bottom();
    if (roomBelow >= minHeight)
        return {clampX(owner.left()), keepClear.bottom() + 1, width, std::min(height, roomBelow)};
    return {clampX(owner.left()), available.top(), width, height};
}
