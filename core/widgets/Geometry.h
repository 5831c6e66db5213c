// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMargins>
#include <QRect>

class QLabel;
class QWidget;

// The windows are designed in twips (1/1440 inch, 15 to a pixel at 96 DPI). These convert at
// the widget's logical DPI, so a window keeps its proportions on a screen with larger text.
int twipsToPixels(const QWidget *widget, int twips);
int pixelsToTwips(const QWidget *widget, int pixels);
// Places the widget at a position and size given in twips.
void placeInTwips(QWidget *widget, int left, int top, int width, int height);

// The CJK fonts we show are taller than the faces the windows were designed for, so a label
// whose designed size is less than its text needs grows to fit: a one-line label grows to the
// right and around its middle, so it stays level with the box beside it; a top-aligned label
// grows downwards. A label that wraps keeps its width.
enum class Grow { AroundMiddle, Downwards };
void fitLabel(QLabel *label, Grow grow);

// Places a one-line label at (left, top), raised where needed so that the ink of its text ends
// a few pixels above `limit` (the top of what lies below it), but with its ink inside the
// parent. CJK faces keep much room below their ink, which would otherwise push a large title
// into what follows it.
void placeAbove(QLabel *label, int left, int top, int limit);

// Moves a top-level window to the middle of its screen's free area.
void centerOnScreen(QWidget *window);

// A top-level window's size for a screen: `wanted` (the client area), made small enough that
// the window with its `frame` stays inside `available` (the screen without its panels).
QSize fitClientSize(const QSize &wanted, const QMargins &frame, const QRect &available);

// Fits a top-level window to the free area of its screen: its minimum size is `minimum` (client
// area) where the screen allows and the free area where it does not, the window is no larger
// than the free area, and a shown window that stands partly off it is moved back. Returns the
// frame it went by (empty before the window manager has framed the window).
QMargins fitToScreen(QWidget *window, const QSize &minimum);

// The frame a window manager puts around `window`; before the window has been shown (or
// without a window manager) the frame of `like` (a window that is shown) stands in for it.
QMargins frameMargins(const QWidget *window, const QWidget *like = nullptr);

// Where a secondary window goes so that it leaves `keepClear` uncovered: beside `owner` (the
// frame of the window it belongs to) where `available` has room for `frameSize`, or below or
// above it; otherwise over the owner above `keepClear`, and failing that below it. Below and
// above, it is made lower to fit the room there, but not lower than `minHeight`. All
// rectangles in global coordinates, frames included. The result is the frame rectangle to use;
// where no place avoids `keepClear`, the top of `available`.
QRect placeClearOf(const QRect &available, const QRect &owner, const QRect &keepClear,
                   const QSize &frameSize, int minHeight);
