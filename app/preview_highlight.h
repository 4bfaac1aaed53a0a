// A highlight drawn over the preview picture, never into it: the pixels of a
// mask shown inverted, and a dashed outline of black and white just outside
// them, so that it shows on any colours of any skin. An inverted channel
// never keeps its value (255 - c differs from c), where any fixed tint
// colour would vanish on a skin of that colour.
#pragma once

#include <QRect>

#include "preview/trace.h"

class QImage;
class QPainter;

enum class HighlightStyle {
  Hover,     // inverted (the caller blinks it) and outlined in dashes of four
  Selection  // a lighter, steady mark: the outline alone, in dashes of two
};

// The mask with its holes filled: every pixel it encloses, that is every
// pixel outside it that cannot reach the edge of its bounds without crossing
// it. A selected background so keeps the texts drawn over it readable: its
// mark goes round the picture, not round each text. A gap open to the
// outside is no hole.
PixelMask WithoutHoles(PixelMask mask);

// The part of the picture a mask's highlight can touch: its bounds and the
// outline around them. Empty for an empty mask.
QRect HighlightBounds(const PixelMask& mask);

// Paints the highlight of `mask` over `picture` (of the mask's size, RGB888)
// into `area` of the painter, which paints the picture's coordinates. Only
// the pixels of `area` are computed, so a repaint of the visible part of a
// large zoom costs what that part costs.
void PaintHighlight(QPainter& painter, const QRect& area, const QImage& picture, const PixelMask& mask,
                    HighlightStyle style, bool invert);
