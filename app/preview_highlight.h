// A highlight drawn over the preview picture, never into it: the pixels of a
// mask tinted, and a dashed outline of black and white just outside them, so
// that it shows on any colours of any skin.
#pragma once

#include <QColor>
#include <QRect>

#include "preview/trace.h"

class QPainter;

enum class HighlightStyle {
  Hover,     // tint and outline in dashes of four
  Selection  // a lighter, steady mark: the outline alone, dotted
};

// The tint of a hovered thing: magenta at half strength. Skin colours have
// channels of at most 248 in steps of 8, so the tint changes every pixel it
// covers.
inline const QColor kHoverTint(255, 0, 255, 128);

// The part of the picture a mask's highlight can touch: its bounds and the
// outline around them. Empty for an empty mask.
QRect HighlightBounds(const PixelMask& mask);

// Paints the highlight of `mask` (at the size of the picture under it) into
// `area` of the painter, which paints the picture's coordinates. Only the
// pixels of `area` are computed, so a repaint of the visible part of a large
// zoom costs what that part costs.
void PaintHighlight(QPainter& painter, const QRect& area, const PixelMask& mask, HighlightStyle style, bool tint);
