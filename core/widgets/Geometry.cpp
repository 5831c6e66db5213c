#include "core/widgets/Geometry.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

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
