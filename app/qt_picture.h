// Pictures of the core as Qt images.
#pragma once

#include <QColor>
#include <cstring>
#include <QImage>

#include "skin/picture.h"

// A deep copy in QImage::Format_RGB888.
inline QImage ToQImage(const Picture& p) {
  if (p.empty()) return QImage();
  QImage img(p.width, p.height, QImage::Format_RGB888);
  for (int y = 0; y < p.height; ++y) {
    std::memcpy(img.scanLine(y), p.row(y), std::size_t(p.width) * 3);
  }
  return img;
}

inline QColor ToQColor(Rgb24 c) { return QColor(c.r, c.g, c.b); }
inline Rgb24 FromQColor(const QColor& c) {
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue())};
}
