// The alpha of a picture being decoded for an import.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Writes alpha values into a plane of one byte a pixel that is only made
// when the first pixel that is not opaque comes (those before it were
// opaque): a picture without transparency, the usual case, costs nothing
// beyond its colours.
class AlphaPlane {
 public:
  AlphaPlane(std::vector<std::uint8_t>& plane, std::size_t pixels) : plane_(plane), pixels_(pixels) {}
  void Set(std::size_t at, std::uint8_t alpha) {
    if (alpha != 255 && plane_.empty()) plane_.assign(pixels_, 255);
    if (!plane_.empty()) plane_[at] = alpha;
  }

 private:
  std::vector<std::uint8_t>& plane_;
  std::size_t pixels_;
};
