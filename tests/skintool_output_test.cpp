// What skintool writes, read back pixel by pixel: a filtered render is the
// plain render with every pixel through the filter, and a screenshot of a
// screen is the two screens of its render, cut out where the preview places
// them (upper at 5,5, lower at 5,293, each 256 x 192).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "images/decode.h"
#include "preview/filters.h"
#include "test_util.h"

namespace {

using testutil::TempDir;

Picture Skintool(const std::string& args, const std::string& out) {
  const std::string command = std::string("'") + SKINTOOL + "' " + args + " --out '" + out + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  Picture picture;
  EXPECT_TRUE(DecodeSkinImage(testutil::ReadFile(out), false, picture)) << out;
  return picture;
}

TEST(SkintoolOutput, FilteredRenderAndScreenshotAgreeWithRender) {
  TempDir dir;
  struct View {
    int screen;
    const char* more;
  };
  // The background is off the 15-bit grid, like the hinge.
  for (const View v : {View{0, ""}, View{9, " --zoom 2 --background 1193046"}, View{13, ""}}) {
    const std::string view = "--screen " + std::to_string(v.screen) + v.more;
    const Picture plain = Skintool("render " + view, dir / "plain.png");
    for (int f = 1; f < kScreenFilterCount; ++f) {
      const auto filter = static_cast<ScreenFilter>(f);
      const Picture shown = Skintool("render " + view + " --filter " + std::string(ScreenFilterName(filter)), dir / "f.png");
      ASSERT_EQ(shown.width, plain.width);
      ASSERT_EQ(shown.height, plain.height);
      int differing = 0;
      for (std::size_t i = 0; i < plain.pixels.size(); ++i) {
        differing += shown.pixels[i] != FilterColour(plain.pixels[i], filter);
      }
      EXPECT_EQ(differing, 0) << view << " " << ScreenFilterName(filter);
    }
    if (*v.more) continue;
    for (const char* name : {"shot.png", "shot.bmp"}) {
      const Picture shot = Skintool("screenshot --screen " + std::to_string(v.screen), dir / name);
      ASSERT_EQ(shot.width, 256);
      ASSERT_EQ(shot.height, 384);
      int differing = 0;
      for (int y = 0; y < 384; ++y) {
        const Rgb24* from = plain.row(y < 192 ? 5 + y : 293 + y - 192) + 5;
        for (int x = 0; x < 256; ++x) differing += shot.row(y)[x] != from[x];
      }
      EXPECT_EQ(differing, 0) << name << " of screen " << v.screen;
    }
  }
}

}  // namespace
