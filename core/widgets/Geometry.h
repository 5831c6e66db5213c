#pragma once

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

// Moves a top-level window to the middle of its screen's free area.
void centerOnScreen(QWidget *window);
