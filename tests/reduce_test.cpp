#include <gtest/gtest.h>

#include <algorithm>

#include "images/reduce.h"
#include "reduce_by_the_rule.h"
#include "test_util.h"

namespace {

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
