// A plain RGB picture: rows from top to bottom, no alpha.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/colour.h"

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<Rgb24> pixels;  // width * height, row after row

  Picture() = default;
  Picture(int w, int h, Rgb24 fill = {}) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}

  // An empty picture stands for a skin image whose file could not be decoded.
  bool empty() const { return width <= 0 || height <= 0 || pixels.empty(); }
  Rgb24& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
  const Rgb24& at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
  Rgb24* row(int y) { return pixels.data() + std::size_t(y) * std::size_t(width); }
  const Rgb24* row(int y) const { return pixels.data() + std::size_t(y) * std::size_t(width); }

  friend bool operator==(const Picture&, const Picture&) = default;
};
