#include "app/preview_highlight.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <utility>
#include <vector>

PixelMask WithoutHoles(PixelMask mask) {
  if (mask.count == 0) return mask;
  // Flood the outside from the frame just around the bounds (the bounds'
  // own edge where the picture ends); what it does not reach is enclosed.
  const int left = std::max(mask.left - 1, 0), right = std::min(mask.right + 1, mask.width - 1);
  const int top = std::max(mask.top - 1, 0), bottom = std::min(mask.bottom + 1, mask.height - 1);
  const auto at = [&mask](int x, int y) { return std::size_t(y) * std::size_t(mask.width) + std::size_t(x); };
  std::vector<std::uint8_t> outside(mask.pixels.size(), 0);
  std::vector<std::pair<int, int>> stack;
  const auto reach = [&](int x, int y) {
    if (x < left || x > right || y < top || y > bottom || mask.pixels[at(x, y)] || outside[at(x, y)]) return;
    outside[at(x, y)] = 1;
    stack.emplace_back(x, y);
  };
  for (int x = left; x <= right; ++x) reach(x, top), reach(x, bottom);
  for (int y = top; y <= bottom; ++y) reach(left, y), reach(right, y);
  while (!stack.empty()) {
    const auto [x, y] = stack.back();
    stack.pop_back();
    reach(x - 1, y), reach(x + 1, y), reach(x, y - 1), reach(x, y + 1);
  }
  for (int y = mask.top; y <= mask.bottom; ++y) {
    for (int x = mask.left; x <= mask.right; ++x) {
      if (mask.pixels[at(x, y)] || outside[at(x, y)]) continue;
      mask.pixels[at(x, y)] = 1;
      ++mask.count;
    }
  }
  return mask;
}

QRect HighlightBounds(const PixelMask& mask) {
  if (mask.count == 0) return {};
  const QRect around(QPoint(mask.left - 1, mask.top - 1), QPoint(mask.right + 1, mask.bottom + 1));
  return around.intersected(QRect(0, 0, mask.width, mask.height));
}

void PaintHighlight(QPainter& painter, const QRect& area, const QImage& picture, const PixelMask& mask,
                    HighlightStyle style, bool invert) {
  const QRect r = area.intersected(HighlightBounds(mask));
  if (r.isEmpty() || picture.format() != QImage::Format_RGB888) return;
  invert = invert && style == HighlightStyle::Hover;
  const QRgb dark = qRgb(0, 0, 0), light = qRgb(255, 255, 255);
  const int dash = style == HighlightStyle::Hover ? 4 : 2;
  // One layer: the picture's own pixels inverted inside the mask, the
  // outline around it, transparent elsewhere.
  QImage layer(r.size(), QImage::Format_ARGB32_Premultiplied);
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
    const uchar* rgb = picture.constScanLine(y);
    auto* out = reinterpret_cast<QRgb*>(layer.scanLine(y - r.top()));
    for (int x = r.left(); x <= r.right(); ++x, ++out) {
      if (here[x]) {
        const uchar* c = rgb + 3 * x;
        *out = invert ? qRgb(255 - c[0], 255 - c[1], 255 - c[2]) : 0;
        continue;
      }
      const bool edge = near[std::size_t(x)] || (x > 0 && near[std::size_t(x - 1)]) ||
                        (x + 1 < mask.width && near[std::size_t(x + 1)]);
      *out = !edge ? 0 : ((x + y) / dash) % 2 ? dark : light;
    }
  }
  painter.drawImage(r.topLeft(), layer);
}
