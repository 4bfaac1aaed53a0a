#include <gtest/gtest.h>

#include <algorithm>

#include "images/reduce.h"
#include "test_util.h"

namespace {

// The rule as written: a black-framed work picture, visited top to bottom and
// left to right, the four neighbours read before anything is written, each
// sum clamped to 255 at once.
Picture ReduceByTheRule(const Picture& in) {
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

TEST(ReduceTo15Bit, SmallExamples) {
  Picture white(1, 1, {255, 255, 255});
  ReduceTo15Bit(white);
  EXPECT_EQ(white.at(0, 0), (Rgb24{248, 248, 248}));  // the error falls off the edge

  Picture two(2, 1);
  two.at(0, 0) = {7, 7, 7};
  two.at(1, 0) = {6, 6, 6};
  ReduceTo15Bit(two);
  EXPECT_EQ(two.at(0, 0), (Rgb24{0, 0, 0}));
  EXPECT_EQ(two.at(1, 0), (Rgb24{8, 8, 8}));  // 6 + 3 = 9, kept as 8

  // Error 7 goes 3 right, 1 below-left, 2 below.
  Picture square(2, 2, {0, 0, 0});
  square.at(1, 0) = {7, 0, 0};
  square.at(0, 1) = {7, 0, 0};
  square.at(1, 1) = {6, 0, 0};
  ReduceTo15Bit(square);
  EXPECT_EQ(square.at(0, 1).r, 8);  // 7 + 1
  EXPECT_EQ(square.at(1, 1).r, 8);  // 6 + 2; its left neighbour, 8 by then, passes nothing on
  EXPECT_EQ(square.at(1, 0).r, 0);
}

TEST(ReduceTo15Bit, FifteenBitCleanPicturesAreUnchanged) {
  Picture p = testutil::MakePicture(37, 23, 99);
  for (Rgb24& px : p.pixels) px = {static_cast<std::uint8_t>(px.r & 248), static_cast<std::uint8_t>(px.g & 248),
                                   static_cast<std::uint8_t>(px.b & 248)};
  const Picture before = p;
  ReduceTo15Bit(p);
  EXPECT_EQ(p, before);
}

TEST(ReduceTo15Bit, MatchesThePixelByPixelRule) {
  for (auto [w, h, seed] : {std::tuple{1, 1, 1u}, {1, 9, 2u}, {9, 1, 3u}, {256, 192, 4u}, {300, 5, 5u}, {17, 31, 6u}}) {
    Picture p = testutil::MakePicture(w, h, seed);
    const Picture expected = ReduceByTheRule(p);
    ReduceTo15Bit(p);
    ASSERT_EQ(p, expected) << w << "x" << h;
    for (const Rgb24& px : p.pixels) ASSERT_TRUE(px.r % 8 == 0 && px.g % 8 == 0 && px.b % 8 == 0);
  }
  // Near-white values saturate at 255 on the way.
  Picture bright(64, 16);
  for (std::size_t i = 0; i < bright.pixels.size(); ++i) {
    const auto v = static_cast<std::uint8_t>(249 + i % 7);
    bright.pixels[i] = {v, static_cast<std::uint8_t>(255 - i % 3), 255};
  }
  const Picture expected = ReduceByTheRule(bright);
  ReduceTo15Bit(bright);
  EXPECT_EQ(bright, expected);

  Picture empty;
  ReduceTo15Bit(empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
