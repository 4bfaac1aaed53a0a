// A workspace kept between redraws holds memory, not state: a run of
// redraws through one workspace and one picture gives, at every step, what a
// fresh render of the same skin, screen, zoom, background, filter and trace
// gives, whatever the redraws before it drew; and it draws into the memory
// it already has.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "images/defaults.h"
#include "preview/render.h"
#include "preview/scale.h"
#include "preview/trace.h"
#include "test_util.h"

namespace {

float LargestWheelZoom() {
  float zoom = 1.0f;
  for (int i = 0; i < 27; ++i) zoom += 0.15f;
  return zoom;
}

Skin DefaultSkin() {
  Skin s;
  ResetSkinToDefaults(s);
  return s;
}

// Nothing but texts to draw: most of each screen stays as black as a new
// canvas is, so whatever a redraw before left there would show.
Skin SkinWithoutPictures() {
  Skin s = DefaultSkin();
  for (Picture& p : s.images) p = Picture();
  return s;
}

struct Step {
  std::string what;
  const Skin* skin;
  int screen;
  float zoom;
  Rgb24 background;
  bool traced = false;
};

TEST(RenderWorkspace, EveryRedrawIsWhatAFreshRenderGives) {
  const Skin full = DefaultSkin(), bare = SkinWithoutPictures();
  const float largest = LargestWheelZoom();
  const std::vector<Step> steps = {
      {"the default skin", &full, 0, 1.0f, {0, 0, 0}},
      {"a skin without pictures over it", &bare, 0, 1.0f, {0, 0, 0}},
      {"another screen", &full, 8, 1.0f, {0, 0, 0}},
      {"another background", &full, 8, 1.0f, {200, 10, 90}},
      {"zoomed", &full, 3, 2.0f, {200, 10, 90}},
      {"zoomed to another width from the same source", &full, 3, largest, {200, 10, 90}},
      {"zoomed, another background", &full, 3, largest, {7, 7, 7}},
      {"zoomed, without pictures", &bare, 12, largest, {7, 7, 7}},
      {"back to zoom 1", &full, 13, 1.0f, {7, 7, 7}},
      {"traced", &full, 2, 1.0f, {0, 0, 0}, true},
      {"traced, without pictures", &bare, 2, 1.0f, {0, 0, 0}, true},
      {"traced and zoomed", &full, 9, 1.15f, {0, 0, 0}, true},
      {"untraced after traces", &bare, 9, 1.0f, {0, 0, 0}},
  };
  RenderWorkspace work;
  Picture out;
  TraceMap map;
  for (const Step& s : steps) {
    RenderPreview(*s.skin, s.screen, s.zoom, s.background, work, out, s.traced ? &map : nullptr);
    TraceMap freshMap;
    const Picture fresh = RenderPreview(*s.skin, s.screen, s.zoom, s.background, s.traced ? &freshMap : nullptr);
    ASSERT_EQ(out.width, fresh.width) << s.what;
    ASSERT_EQ(out.height, fresh.height) << s.what;
    EXPECT_TRUE(out.pixels == fresh.pixels) << s.what;
    if (!s.traced) continue;
    EXPECT_TRUE(map.tags == freshMap.tags) << s.what;
    EXPECT_EQ(map.elementSets, freshMap.elementSets) << s.what;
  }
}

TEST(RenderWorkspace, FilteredRedrawsAreWhatAFreshFilterGives) {
  const Skin full = DefaultSkin();
  const Picture atOne = RenderPreview(full, 4, 1.0f, {16, 32, 48});
  RenderWorkspace work;
  Picture out;
  for (const ScreenFilter filter : {ScreenFilter::Console, ScreenFilter::None, ScreenFilter::Tritanopia}) {
    for (const float zoom : {1.0f, 3.0f, LargestWheelZoom(), 1.0f}) {
      FilteredAtZoom(atOne, filter, zoom, work, out);
      const Picture fresh = FilteredAtZoom(atOne, filter, zoom);
      ASSERT_EQ(out.width, fresh.width) << ScreenFilterName(filter) << " at " << zoom;
      EXPECT_TRUE(out.pixels == fresh.pixels) << ScreenFilterName(filter) << " at " << zoom;
    }
  }
}

TEST(RenderWorkspace, ARedrawUsesTheMemoryItHas) {
  const Skin full = DefaultSkin();
  RenderWorkspace work;
  Picture out;
  RenderPreview(full, 0, 3.0f, {0, 0, 0}, work, out);
  const Rgb24* memory = out.pixels.data();
  // The same zoom, another screen; then a smaller picture, which fits.
  RenderPreview(full, 5, 3.0f, {0, 0, 0}, work, out);
  EXPECT_EQ(out.pixels.data(), memory);
  RenderPreview(full, 5, 1.0f, {0, 0, 0}, work, out);
  EXPECT_EQ(out.pixels.data(), memory);
  EXPECT_EQ(out.pixels.size(), std::size_t(kPreviewWidth) * kPreviewHeight);
}

TEST(ScaleWork, ScalingAgainIsWhatFreshScalingGives) {
  const Picture a = testutil::MakePicture(266, 490, 3), b = testutil::MakePicture(266, 490, 11);
  const Picture narrow = testutil::MakePicture(100, 490, 5);
  ScaleWork work;
  Picture out;
  const struct {
    const Picture* source;
    int width, height;
  } steps[] = {{&a, 532, 980},  {&b, 532, 980},  {&a, 1343, 2475}, {&a, 532, 2475},
               {&narrow, 532, 980}, {&a, 7, 3}, {&b, 306, 564}};
  for (const auto& s : steps) {
    ScaleNearest(*s.source, s.width, s.height, work, out);
    const Picture fresh = ScaleNearest(*s.source, s.width, s.height);
    ASSERT_EQ(out.width, s.width);
    ASSERT_EQ(out.height, s.height);
    EXPECT_TRUE(out.pixels == fresh.pixels) << s.source->width << " to " << s.width << " x " << s.height;
  }
}

}  // namespace
