#pragma once

#include <QFont>

class QWidget;

// The windows are laid out in twips (1/1440 inch) for a narrow 8-point sans-serif font; these
// give the pixels and the font for the screen a window is on.

// Logical dots per inch of the widget's screen, 96 when it has none.
double logicalDpi(const QWidget* widget);

// Pixels for `twips` at `dpi`.
int twipsToPixels(int twips, double dpi);

// The narrow 8-point font the captions were measured for (Arial metrics where available).
QFont dialogFont(const QFont& base);
