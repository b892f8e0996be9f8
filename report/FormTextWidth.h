#pragma once

#include <QString>

// Whether a text fits its box on the printed certificate, judged as the style sheet judges it: the
// width estimated from the advance widths of Liberation Sans by character class, the text set at
// the box's size or smaller down to its minimum size, and cut with "…" when even that is too wide.
namespace FormTextWidth {

// The estimated width of a text in em.
double emWidth(const QString& text);

// The width in pt that an item's label (8.5 pt) and " – Art: " (7.5 pt) take in front of its text.
double labelLead(const QString& label);

// True when the style sheet prints `text` whole in a box of `lines` lines of `widthMm` mm at no less
// than `minPt`, after `leadPt` of other text on the first line.
bool fits(const QString& text, double widthMm, int lines, double minPt, double leadPt = 0);

} // namespace FormTextWidth
