// The screen and colour-vision filters against values worked out by hand
// (the console's white is (0.865^(1/2), 0.915^(1/2), 1.0) times 255; pure
// red: sqrt(0.705), sqrt(0.09), sqrt(0.1075) times 255, rounded half up).
#include <gtest/gtest.h>

#include "preview/filters.h"

namespace {

TEST(ScreenFilters, HandWorkedColours) {
  struct Case {
    Rgb24 in;
    ScreenFilter filter;
    Rgb24 out;
  };
  const Case cases[] = {
      {{255, 255, 255}, ScreenFilter::Console, {237, 244, 255}},
      {{255, 0, 0}, ScreenFilter::Console, {214, 77, 84}},  // 76.5 rounds up
      {{0, 0, 0}, ScreenFilter::Console, {0, 0, 0}},
      {{255, 0, 0}, ScreenFilter::Protanopia, {109, 95, 0}},
      {{255, 0, 0}, ScreenFilter::Deuteranopia, {163, 144, 0}},
      {{255, 0, 0}, ScreenFilter::Tritanopia, {255, 0, 15}},  // a channel clamped at 1
      {{0, 248, 0}, ScreenFilter::Protanopia, {254, 223, 0}},
      {{96, 0, 48}, ScreenFilter::Deuteranopia, {53, 52, 46}},
      {{96, 0, 48}, ScreenFilter::Tritanopia, {105, 0, 25}},
      {{8, 0, 0}, ScreenFilter::Protanopia, {1, 1, 0}},  // 8 / 255 and below decode on the linear toe
      {{2, 2, 2}, ScreenFilter::Tritanopia, {2, 2, 2}},
      {{0, 4, 0}, ScreenFilter::Protanopia, {4, 3, 0}},
      {{12, 34, 56}, ScreenFilter::None, {12, 34, 56}},

  };
  for (const Case& c : cases) {
    EXPECT_EQ(FilterColour(c.in, c.filter), c.out) << ScreenFilterName(c.filter) << " " << int(c.in.r);
  }
  // Black and white stay so through every vision filter (each row sums to 1).
  for (const ScreenFilter f : {ScreenFilter::Protanopia, ScreenFilter::Deuteranopia, ScreenFilter::Tritanopia}) {
    EXPECT_EQ(FilterColour({0, 0, 0}, f), (Rgb24{0, 0, 0}));
    EXPECT_EQ(FilterColour({255, 255, 255}, f), (Rgb24{255, 255, 255}));
  }
}

TEST(ScreenFilters, PicturesAreFilteredPixelByPixelAndNamesRoundTrip) {
  // Colours on the 15-bit grid (from the table) and off it (worked out, and
  // the same colour twice), each equal to the colour filtered alone.
  Picture picture(4, 2);
  picture.pixels = {{248, 128, 0}, {7, 9, 250}, {7, 9, 250}, {0, 0, 0}, {255, 255, 255}, {96, 0, 48}, {1, 2, 3}, {0, 248, 0}};
  for (int f = 0; f < kScreenFilterCount; ++f) {
    const auto filter = static_cast<ScreenFilter>(f);
    Picture filtered = picture;
    ApplyScreenFilter(filtered, filter);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
      EXPECT_EQ(filtered.pixels[i], FilterColour(picture.pixels[i], filter)) << ScreenFilterName(filter) << " " << i;
    }
    EXPECT_EQ(FindScreenFilter(ScreenFilterName(filter)), filter);
  }
  EXPECT_FALSE(FindScreenFilter("Console"));
  EXPECT_FALSE(FindScreenFilter(""));
}

}  // namespace
