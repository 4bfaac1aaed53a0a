// The view's rules both faces share: how the zoom steps, fits and follows
// the wheel, and which letter of a menu text becomes its mnemonic.
#include <gtest/gtest.h>

#include "edit/mnemonics.h"
#include "edit/view_zoom.h"
#include "preview/preview_size.h"
#include "preview/scale.h"

TEST(ViewZoom, StepsByAFifteenthOrThroughWholeNumbers) {
  struct Case {
    float zoom;
    int steps;
    bool whole;
    float expected;
  };
  const Case cases[] = {
      {1.0f, 1, false, 1.15f},  {1.0f, 3, false, 1.45f}, {1.15f, -1, false, 1.0f}, {1.0f, -1, false, 1.0f},
      {4.9f, 1, false, 5.05f},  {5.05f, 1, false, 5.05f}, {1.1f, -1, false, 0.95f},
      {1.5f, 1, true, 2.0f},    {1.5f, -1, true, 1.0f},   {2.0f, 1, true, 3.0f},   {2.0f, -1, true, 1.0f},
      {1.0f, -1, true, 1.0f},   {5.0f, 1, true, 5.0f},    {4.6f, 3, true, 5.0f},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(SteppedZoom(c.zoom, c.steps, c.whole), c.expected, 1e-4) << c.zoom << " by " << c.steps << " whole " << c.whole;
  }
  EXPECT_FLOAT_EQ(WholeZoomOf(2.4f), 2.0f);
  EXPECT_FLOAT_EQ(WholeZoomOf(2.5f), 3.0f);
  EXPECT_FLOAT_EQ(WholeZoomOf(0.4f), 1.0f);
  EXPECT_FLOAT_EQ(WholeZoomOf(7.0f), 5.0f);
}

TEST(ViewZoom, FitsTheLargestPreviewTheRoomHolds) {
  for (const auto& [w, h, whole] : {std::tuple{266 * 2, 490 * 2, false}, std::tuple{700, 1100, false},
                                    std::tuple{1000, 1000, false}, std::tuple{700, 1100, true}, std::tuple{5000, 5000, false}}) {
    const float zoom = FittingZoom(w, h, whole);
    int pw = 0, ph = 0;
    PreviewSize(zoom, pw, ph);
    if (zoom > 1.0f) EXPECT_TRUE(pw <= w && ph <= h) << w << "x" << h;
    // A hair more would not fit (or the limit is reached).
    int bw = 0, bh = 0;
    PreviewSize(zoom + (whole ? 1.0f : 0.01f), bw, bh);
    if (zoom < kLargestZoom) EXPECT_TRUE(bw > w || bh > h) << w << "x" << h;
    if (whole) EXPECT_FLOAT_EQ(zoom, float(int(zoom)));
  }
  EXPECT_FLOAT_EQ(FittingZoom(100, 100, false), 1.0f);
  EXPECT_FLOAT_EQ(FittingZoom(266 * 2, 490 * 2, true), 2.0f);
  EXPECT_FLOAT_EQ(FittingZoom(266 * 2 - 1, 490 * 2, true), 1.0f);
  EXPECT_FLOAT_EQ(FittingZoom(100000, 100000, false), kLargestZoom);
}

TEST(ViewZoom, SmallWheelMovementsAddUpToSteps) {
  WheelSteps wheel;
  EXPECT_EQ(wheel.Add(60), 0);
  EXPECT_EQ(wheel.Add(60), 1);
  EXPECT_EQ(wheel.Add(119), 0);
  EXPECT_EQ(wheel.Add(1), 1);
  EXPECT_EQ(wheel.Add(-240), -2);
  EXPECT_EQ(wheel.Add(-100), 0);
  wheel.Reset();
  EXPECT_EQ(wheel.Add(-20), 0);
  EXPECT_EQ(wheel.Add(360), 2);
}

TEST(Mnemonics, FirstFreeLetterOrDigitElseOneAppended) {
  const std::vector<std::string> texts = {"File", "Fit", "Edit", "", "fine", "3 screens", "\xE6\xAA\x94\xE6\xA1\x88", "A&B"};
  const std::vector<Mnemonic> m = AssignMnemonics(texts);
  const auto shown = [](const Mnemonic& x) { return x.before + "[" + x.letter + "]" + x.after; };
  ASSERT_EQ(m.size(), texts.size());
  EXPECT_EQ(shown(m[0]), "[F]ile");
  EXPECT_EQ(shown(m[1]), "F[i]t");
  EXPECT_EQ(shown(m[2]), "[E]dit");
  EXPECT_EQ(m[3].letter, "");
  EXPECT_EQ(shown(m[4]), "fi[n]e");
  EXPECT_EQ(shown(m[5]), "[3] screens");
  EXPECT_EQ(shown(m[6]), "\xE6\xAA\x94\xE6\xA1\x88([A])");
  EXPECT_EQ(shown(m[7]), "A&[B]");
  // Every letter taken: nothing to mark.
  std::string taken = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  EXPECT_EQ(TakeMnemonic("\xE6\xAA\x94", taken).letter, "");
}

TEST(Overview, HalfSizeIsTheRoundedMeanOfEachTwoByTwoBlock) {
  Picture p(5, 3);
  const Rgb24 block[4] = {{0, 0, 0}, {1, 2, 255}, {2, 2, 255}, {0, 1, 255}};
  p.at(0, 0) = block[0], p.at(1, 0) = block[1], p.at(0, 1) = block[2], p.at(1, 1) = block[3];
  p.at(2, 0) = p.at(3, 0) = p.at(2, 1) = p.at(3, 1) = {200, 100, 50};
  p.at(4, 0) = p.at(4, 1) = p.at(0, 2) = {255, 255, 255};  // the odd column and row are left out
  const Picture half = HalfSizePicture(p);
  ASSERT_EQ(half.width, 2);
  ASSERT_EQ(half.height, 1);
  // (0+1+2+0+2)/4 = 1, (0+2+2+1+2)/4 = 1, (0+255*3+2)/4 = 191
  EXPECT_EQ(half.at(0, 0), (Rgb24{1, 1, 191}));
  EXPECT_EQ(half.at(1, 0), (Rgb24{200, 100, 50}));
}
