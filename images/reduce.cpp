#include "images/reduce.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// Shares of an error e (0..7) for the right, below-left and below
// neighbours: (e*7)/16, (e*3)/16 and (e*5)/16. The below-right share e/16 is
// 0 for every error the quantiser can leave.
constexpr std::array<int, 8> kRight = {0, 0, 0, 1, 1, 2, 2, 3};
constexpr std::array<int, 8> kBelowLeft = {0, 0, 0, 0, 0, 0, 1, 1};
constexpr std::array<int, 8> kBelow = {0, 0, 0, 0, 1, 1, 1, 2};

}  // namespace

// The diffusion only ever adds, and every sum is clamped to 255. Clamping
// after each addition gives the same value as adding everything first and
// clamping once, so the errors are kept in plain integer rows and a pixel is
// clamped when it is visited. Errors that would land outside the picture are
// dropped: they fall into the black frame of the textbook formulation, which
// is thrown away at the end.
void ReduceTo15Bit(Picture& picture) {
  const int w = picture.width, h = picture.height;
  if (w <= 0 || h <= 0 || picture.pixels.size() != std::size_t(w) * std::size_t(h)) return;
  // Three ints per column, with one spare column on each side.
  std::vector<int> fromAbove(std::size_t(w + 2) * 3, 0), forBelow(std::size_t(w + 2) * 3, 0);
  for (int y = 0; y < h; ++y) {
    Rgb24* px = picture.row(y);
    std::fill(forBelow.begin(), forBelow.end(), 0);
    const int* above = fromAbove.data() + 3;
    int* below = forBelow.data() + 3;
    int carryR = 0, carryG = 0, carryB = 0;
    for (int x = 0; x < w; ++x, above += 3, below += 3) {
      const int r = std::min(255, px[x].r + above[0] + carryR);
      const int g = std::min(255, px[x].g + above[1] + carryG);
      const int b = std::min(255, px[x].b + above[2] + carryB);
      const int er = r & 7, eg = g & 7, eb = b & 7;
      carryR = kRight[er];
      carryG = kRight[eg];
      carryB = kRight[eb];
      below[-3] += kBelowLeft[er];
      below[-2] += kBelowLeft[eg];
      below[-1] += kBelowLeft[eb];
      below[0] += kBelow[er];
      below[1] += kBelow[eg];
      below[2] += kBelow[eb];
      px[x] = {static_cast<std::uint8_t>(r & 248), static_cast<std::uint8_t>(g & 248),
               static_cast<std::uint8_t>(b & 248)};
    }
    std::swap(fromAbove, forBelow);
  }
}
