// The error diffusion as the rule states it, plainly, for tests that need the
// reduction of a picture without taking it from the code under test.
#pragma once

#include <algorithm>
#include <vector>

#include "skin/picture.h"

// The rule as written: a black-framed work picture, visited top to bottom and
// left to right, the four neighbours read before anything is written, each
// sum clamped to 255 at once.
inline Picture ReduceByTheRule(const Picture& in) {
  const int W = in.width, H = in.height;
  std::vector<int> work(std::size_t(W + 2) * std::size_t(H + 2) * 3, 0);
  const auto at = [&](int x, int y, int c) -> int& { return work[(std::size_t(y) * (W + 2) + x) * 3 + c]; };
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      at(x + 1, y + 1, 0) = in.at(x, y).r;
      at(x + 1, y + 1, 1) = in.at(x, y).g;
      at(x + 1, y + 1, 2) = in.at(x, y).b;
    }
  }
  for (int y = 1; y <= H; ++y) {
    for (int x = 1; x <= W; ++x) {
      for (int c = 0; c < 3; ++c) {
        const int v = at(x, y, c), q = v & 248, e = v - q;
        int A = at(x + 1, y, c), B = at(x - 1, y + 1, c), C = at(x, y + 1, c), D = at(x + 1, y + 1, c);
        A = std::min(255, A + e * 7 / 16);
        B = std::min(255, B + e * 3 / 16);
        C = std::min(255, C + e * 5 / 16);
        D = std::min(255, D + e / 16);
        at(x + 1, y, c) = A;
        at(x - 1, y + 1, c) = B;
        at(x, y + 1, c) = C;
        at(x + 1, y + 1, c) = D;
        at(x, y, c) = q;
      }
    }
  }
  Picture out(W, H);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      out.at(x, y) = {static_cast<std::uint8_t>(at(x + 1, y + 1, 0)), static_cast<std::uint8_t>(at(x + 1, y + 1, 1)),
                      static_cast<std::uint8_t>(at(x + 1, y + 1, 2))};
    }
  }
  return out;
}
