#include "app/preview_highlight.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>

QRect HighlightBounds(const PixelMask& mask) {
  if (mask.count == 0) return {};
  const QRect around(QPoint(mask.left - 1, mask.top - 1), QPoint(mask.right + 1, mask.bottom + 1));
  return around.intersected(QRect(0, 0, mask.width, mask.height));
}

void PaintHighlight(QPainter& painter, const QRect& area, const PixelMask& mask, HighlightStyle style, bool invert) {
  const QRect r = area.intersected(HighlightBounds(mask));
  if (r.isEmpty()) return;
  invert = invert && style == HighlightStyle::Hover;
  const QRgb dark = qRgba(0, 0, 0, 255), light = qRgba(255, 255, 255, 255);
  const int dash = style == HighlightStyle::Hover ? 4 : 2;
  // The outline is drawn over the picture; white drawn in difference mode
  // inverts what lies under it.
  QImage outline(r.size(), QImage::Format_ARGB32_Premultiplied), inverse;
  if (invert) inverse = QImage(r.size(), QImage::Format_ARGB32_Premultiplied);
  // A pixel outside the mask is outline when one of its eight neighbours is
  // inside: the rows above, at and below are OR-ed into `near` first, so
  // each pixel then looks at three bytes of one row.
  const int from = std::max(r.left() - 1, 0), to = std::min(r.right() + 1, mask.width - 1);
  std::vector<std::uint8_t> near(std::size_t(mask.width), 0);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    const std::uint8_t* here = mask.pixels.data() + std::size_t(y) * std::size_t(mask.width);
    std::fill(near.begin() + from, near.begin() + to + 1, 0);
    for (int dy = -1; dy <= 1; ++dy) {
      if (y + dy < 0 || y + dy >= mask.height) continue;
      const std::uint8_t* line = here + std::ptrdiff_t(dy) * mask.width;
      for (int x = from; x <= to; ++x) near[std::size_t(x)] |= line[x];
    }
    auto* out = reinterpret_cast<QRgb*>(outline.scanLine(y - r.top()));
    if (invert) {
      auto* in = reinterpret_cast<QRgb*>(inverse.scanLine(y - r.top()));
      for (int x = r.left(); x <= r.right(); ++x) *in++ = here[x] ? light : 0;
    }
    for (int x = r.left(); x <= r.right(); ++x, ++out) {
      const bool edge = !here[x] && (near[std::size_t(x)] || (x > 0 && near[std::size_t(x - 1)]) ||
                                     (x + 1 < mask.width && near[std::size_t(x + 1)]));
      *out = !edge ? 0 : ((x + y) / dash) % 2 ? dark : light;
    }
  }
  if (invert) {
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.drawImage(r.topLeft(), inverse);
    painter.setCompositionMode(mode);
  }
  painter.drawImage(r.topLeft(), outline);
}
