#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <set>

#include "images/defaults.h"
#include "preview/render.h"
#include "preview/trace.h"

namespace {

constexpr Rgb24 kGrey{96, 96, 96};
constexpr Rgb24 kKey{0, 248, 0};
constexpr Rgb24 kBrightKey{0, 255, 0};

bool IsKey(Rgb24 c) { return c.r == 0 && c.b == 0 && (c.g == 248 || c.g == 255); }

// Preview coordinates of a point of the upper or the lower screen.
int Px(int x) { return 5 + x; }
int UpperY(int y) { return 5 + y; }
int LowerY(int y) { return 293 + y; }

std::size_t Section(std::string_view name) { return FindElementSection(name).value(); }

TraceSource Colour(std::string_view section, std::string_view key) { return FindColourSource(section, key).value(); }

std::vector<std::string_view> ElementNames(ElementSet set) {
  std::vector<std::string_view> names;
  for (std::size_t i : set.Sections()) names.push_back(SkinSchema()[i].name);
  return names;
}

Skin DefaultSkin() {
  Skin s;
  ResetSkinToDefaults(s);
  return s;
}

TEST(Trace, NamesAndLookups) {
  std::set<std::string> described;
  for (int i = 0; i < kColourSourceCount; ++i) {
    const TraceSource s = ColourSource(i);
    ASSERT_EQ(KindOf(s), SourceKind::Colour);
    EXPECT_EQ(FindColourSource(ColourSection(s).name, ColourField(s).key), s);
    EXPECT_EQ(ColourField(s).kind, FieldKind::Colour);
    described.insert(DescribeSource(s));
  }
  EXPECT_EQ(DescribeSource(ColourSource(0)), "colour [global settings] formFrameColor");
  EXPECT_EQ(DescribeSource(ColourSource(kColourSourceCount - 1)), "colour [time text] color");
  EXPECT_EQ(DescribeSource(Colour(kMainListSection, "textColor")), "colour [main list] textColor");
  EXPECT_FALSE(FindColourSource(kMainListSection, "x"));
  for (const CatalogueEntry& e : ImageCatalogue()) {
    const TraceSource s = PictureSource(e.id);
    ASSERT_EQ(KindOf(s), SourceKind::Picture);
    EXPECT_EQ(ImageOf(s), e.id);
    described.insert(DescribeSource(s));
  }
  EXPECT_EQ(described.size(), std::size_t(kTraceSourceCount - 1));  // every name distinct
  EXPECT_EQ(DescribeSource(PictureSource(ImageId::icon_nds)), "picture icon/nds");
  EXPECT_EQ(KindOf(TraceSource::None), SourceKind::None);
  EXPECT_EQ(KindOf(static_cast<TraceSource>(kTraceSourceCount)), SourceKind::None);
  EXPECT_EQ(DescribeSource(TraceSource::None), "");

  int elements = 0;
  for (const SchemaSection& section : SkinSchema()) elements += FindElementSection(section.name).has_value();
  EXPECT_EQ(elements, 34);
  EXPECT_EQ(SkinSchema()[Section(kStartMenuSection)].name, "[start menu]");
  EXPECT_FALSE(FindElementSection(kGlobalSettingsSection));
  EXPECT_FALSE(FindElementSection(kSkinInfoSection));
}

// A hand-made skin: plain pictures where positions are checked.
Skin HandMadeSkin() {
  Skin s = DefaultSkin();
  s.image(ImageId::startbar) = Picture(256, 20, kGrey);
  s.image(ImageId::start_released) = Picture(58, 20, kKey);  // all see-through
  s.image(ImageId::start_released).at(30, 10) = kGrey;
  s.image(ImageId::brightness) = Picture(22, 18, kBrightKey);  // drawn opaque: still its pixels
  return s;
}

TEST(Trace, WhatDrawsAPixel) {
  const Skin s = HandMadeSkin();
  const Picture& icon = BuiltinPicture(BuiltinPictureId::SampleGameIcon);
  // A drawn and a see-through pixel of the icon's middle row.
  const int iconRow = icon.height / 2;
  int iconInk = -1, iconHole = -1;
  for (int x = 0; x < icon.width; ++x) (IsKey(icon.at(x, iconRow)) ? iconHole : iconInk) = x;
  ASSERT_GE(iconInk, 0);
  ASSERT_GE(iconHole, 0);

  struct Case {
    int screen, x, y;
    TraceSource source;
    std::vector<std::string_view> elements;
  };
  const int mx = s.startMenu.x, lx = mx + s.sysetMenu.x + s.listTypeMenu.x;
  const std::vector<Case> cases = {
      // The stem of the F of the file-name title.
      {0, Px(127), UpperY(73), Colour(kGlobalSettingsSection, "gameInfoTitleColor"), {"[file name]"}},
      {0, Px(100), LowerY(180), PictureSource(ImageId::startbar), {"[start bar]"}},
      // Under the see-through start button lies the start bar.
      {0, Px(10), LowerY(180), PictureSource(ImageId::startbar), {"[start bar]"}},
      {0, Px(30), LowerY(182), PictureSource(ImageId::start_released), {"[start button]"}},
      {0, Px(210), LowerY(180), PictureSource(ImageId::brightness), {"[brightness btn]"}},
      {0, Px(15), LowerY(70), Colour(kGlobalSettingsSection, "logoFrameColor"), {}},
      // The built-in sample icon is nobody's picture but [logo info] places it.
      {0, Px(127 + iconInk), UpperY(30 + iconRow), TraceSource::None, {"[logo info]"}},
      {0, Px(127 + iconHole), UpperY(30 + iconRow), PictureSource(ImageId::upper_screen), {}},
      {0, 133, 250, TraceSource::None, {}},  // the hinge
      {0, 2, 2, TraceSource::None, {}},      // the margin
      {0, 263, 300, TraceSource::None, {}},
      // The frame of the second-level submenu of screen 8.
      {8, Px(lx + 182), LowerY(s.listTypeMenu.y), Colour(kGlobalSettingsSection, "formFrameColor"),
       {"[start menu]", "[Syset menu]", "[List type menu]"}},
      {13, Px(0), LowerY(0), PictureSource(ImageId::cheatbg), {}},
  };
  for (const Case& c : cases) {
    const TraceMap map = TracePreview(s, c.screen);
    EXPECT_EQ(DescribeSource(map.at(c.x, c.y).source), DescribeSource(c.source)) << c.x << "," << c.y;
    EXPECT_EQ(ElementNames(map.ElementsAt(c.x, c.y)), c.elements) << c.x << "," << c.y;
  }
}

TEST(Trace, MovingAnElementMovesItsPixels) {
  struct Case {
    int screen;
    std::string_view section;
    std::function<void(Skin&)> move;
    int dx, dy;
  };
  const std::vector<Case> cases = {
      {0, "[reback btn]", [](Skin& s) { s.rebackBtn.x -= 20; }, -20, 0},
      {0, "[big clock]", [](Skin& s) { s.bigClock.x -= 40, s.bigClock.y += 5; }, -40, 5},
      {1, "[logo offset]", [](Skin& s) { s.logoOffset.x += 6; }, 6, 0},
      {2, "[file handle menu]", [](Skin& s) { s.fileHandleMenu.y += 8; }, 0, 8},
      {13, "[close btn]", [](Skin& s) { s.closeBtn.y += 30; }, 0, 30},
  };
  for (const Case& c : cases) {
    Skin s = DefaultSkin();
    const std::size_t section = Section(c.section);
    const TraceMap before = TracePreview(s, c.screen);
    c.move(s);
    const TraceMap after = TracePreview(s, c.screen);
    const PixelMask was = ElementMask(before, section), is = ElementMask(after, section);
    ASSERT_GT(was.count, 0) << c.section;
    EXPECT_EQ(is.count, was.count) << c.section;
    EXPECT_EQ(is.left, was.left + c.dx) << c.section;
    EXPECT_EQ(is.top, was.top + c.dy) << c.section;
    for (int y = was.top; y <= was.bottom; ++y) {
      for (int x = was.left; x <= was.right; ++x) {
        if (!was.pixels[std::size_t(y) * kPreviewWidth + std::size_t(x)]) continue;
        ASSERT_EQ(after.at(x + c.dx, y + c.dy).source, before.at(x, y).source) << c.section << " " << x << "," << y;
        ASSERT_EQ(after.ElementsAt(x + c.dx, y + c.dy), before.ElementsAt(x, y)) << c.section;
      }
    }
  }
}

// Another value that stays on its side of the key: key green becomes the
// other key green, anything else another colour that is not key green.
Rgb24 OtherValue(Rgb24 c) {
  if (IsKey(c)) return c.g == 248 ? kBrightKey : kKey;
  Rgb24 d{static_cast<std::uint8_t>(c.r ^ 0x55), c.g, c.b};
  if (IsKey(d)) d.r = 1;
  return d;
}

// The default skin with key green sprinkled into every picture, so that
// keyed pictures have holes and opaque ones show key pixels.
Skin SprinkledSkin() {
  Skin s = DefaultSkin();
  for (Picture& p : s.images) {
    for (std::size_t i = 0; i < p.pixels.size(); i += 13) p.pixels[i] = i % 2 ? kKey : kBrightKey;
  }
  return s;
}

// Changes a colour to another value, or every pixel of a picture.
void Change(Skin& s, TraceSource source) {
  if (KindOf(source) == SourceKind::Colour) {
    Rgb24* field = ColourField(source).colour(s);
    *field = OtherValue(*field);
  } else {
    for (Rgb24& px : s.image(ImageOf(source)).pixels) px = OtherValue(px);
  }
}

// The pixels that change when `sources` change are the ones the trace gives
// them.
void ExpectRuleHolds(const Skin& s, int screen, const Picture& base, const TraceMap& map,
                     const std::vector<TraceSource>& sources) {
  Skin changed = s;
  for (TraceSource source : sources) Change(changed, source);
  const Picture after = RenderPreview(changed, screen, 1.0f, Rgb24{});
  std::array<bool, 256> changedSource{};
  for (TraceSource source : sources) changedSource[static_cast<std::size_t>(source)] = true;
  std::size_t i = 0;
  while (i < base.pixels.size() &&
         (base.pixels[i] != after.pixels[i]) == changedSource[static_cast<std::size_t>(map.tags[i].source)]) {
    ++i;
  }
  EXPECT_EQ(i, base.pixels.size()) << "screen " << screen << ", " << DescribeSource(sources.front()) << " and "
                                   << sources.size() - 1 << " more: pixel " << i % kPreviewWidth << ","
                                   << i / kPreviewWidth << " disagrees";
}

TEST(Trace, AgreesWithTheRuleOnEveryScreen) {
  const Skin s = SprinkledSkin();
  std::array<bool, kTraceSourceCount> seen{};
  for (int screen = 0; screen < kPreviewScreenCount; ++screen) {
    const Picture base = RenderPreview(s, screen, 1.0f, Rgb24{});
    const TraceMap map = TracePreview(s, screen);
    std::array<int, 256> pixelsOf{};
    for (const PixelTag& t : map.tags) ++pixelsOf[static_cast<std::size_t>(t.source)];
    // A source the trace finds is changed alone where it first shows and on
    // every second screen after; otherwise together with the others it
    // finds. The sources it does not find all change at once, which must
    // change nothing (nothing is blended, so nothing can cancel). That keeps
    // the sanitizer build quick.
    std::vector<TraceSource> absent, together;
    int present = 0;
    for (int id = 1; id < kTraceSourceCount; ++id) {
      const TraceSource source = static_cast<TraceSource>(id);
      if (pixelsOf[std::size_t(id)] == 0) {
        absent.push_back(source);
        continue;
      }
      ++present;
      if (seen[std::size_t(id)] && (id + screen) % 2 != 0) {
        together.push_back(source);
        continue;
      }
      seen[std::size_t(id)] = true;
      ExpectRuleHolds(s, screen, base, map, {source});
    }
    EXPECT_GT(present, 10) << screen;
    ExpectRuleHolds(s, screen, base, map, absent);
    if (!together.empty()) ExpectRuleHolds(s, screen, base, map, together);
  }
}

TEST(Trace, RenderingWithATraceDrawsTheSamePicture) {
  const Skin s = DefaultSkin();
  for (int screen : {0, 6, 11, 13}) {
    TraceMap map;
    const Picture traced = RenderPreview(s, screen, 2.0f, Rgb24{1, 2, 3}, &map);
    EXPECT_EQ(traced, RenderPreview(s, screen, 2.0f, Rgb24{1, 2, 3}));
    const TraceMap alone = TracePreview(s, screen);
    ASSERT_EQ(map.tags.size(), alone.tags.size());
    for (std::size_t i = 0; i < map.tags.size(); ++i) {
      ASSERT_EQ(map.tags[i].source, alone.tags[i].source);
      ASSERT_EQ(map.elementSets[map.tags[i].elements], alone.elementSets[alone.tags[i].elements]);
    }
  }
}

TEST(Trace, MasksAndZoomedPoints) {
  const Skin s = HandMadeSkin();
  const TraceMap map = TracePreview(s, 0);
  const PixelMask bar = SourceMask(map, PictureSource(ImageId::startbar));
  EXPECT_EQ(bar.left, 5);
  EXPECT_EQ(bar.right, 260);
  EXPECT_EQ(bar.top, LowerY(172));
  EXPECT_EQ(bar.bottom, LowerY(191));
  const PixelMask placed = ElementMask(map, Section(kStartBarSection));
  EXPECT_EQ(placed.pixels, bar.pixels);  // the bar is all that [start bar] places
  const PixelMask none = SourceMask(map, PictureSource(ImageId::cheatbg));
  EXPECT_EQ(none.count, 0);
  EXPECT_LT(none.right, none.left);

  const float zoom = 2.5f;
  const Picture big = RenderPreview(s, 0, zoom, Rgb24{});
  const Picture small = RenderPreview(s, 0, 1.0f, Rgb24{});
  for (int zy = 0; zy < big.height; zy += 37) {
    for (int zx = 0; zx < big.width; zx += 11) {
      int x = -1, y = -1;
      ASSERT_TRUE(PreviewPixelAt(zoom, zx, zy, x, y));
      ASSERT_EQ(big.at(zx, zy), small.at(x, y)) << zx << "," << zy;
    }
  }
  // The zoomed highlight covers exactly the zoomed pixels of the bar.
  const PixelMask zoomed = ZoomMask(bar, zoom);
  ASSERT_EQ(zoomed.pixels.size(), big.pixels.size());
  for (int zy = 0; zy < big.height; zy += 3) {
    for (int zx = 0; zx < big.width; zx += 3) {
      int x = -1, y = -1;
      PreviewPixelAt(zoom, zx, zy, x, y);
      ASSERT_EQ(zoomed.pixels[std::size_t(zy) * std::size_t(big.width) + std::size_t(zx)],
                bar.pixels[std::size_t(y) * kPreviewWidth + std::size_t(x)]);
    }
  }
  PixelMask measured = zoomed;  // the bounds and count it gives, counted pixel by pixel
  measured.count = 0, measured.left = measured.top = 1 << 20, measured.right = measured.bottom = -1;
  for (int zy = 0; zy < measured.height; ++zy) {
    for (int zx = 0; zx < measured.width; ++zx) {
      if (!measured.pixels[std::size_t(zy) * std::size_t(measured.width) + std::size_t(zx)]) continue;
      ++measured.count;
      measured.left = std::min(measured.left, zx), measured.right = std::max(measured.right, zx);
      measured.top = std::min(measured.top, zy), measured.bottom = std::max(measured.bottom, zy);
    }
  }
  EXPECT_EQ(zoomed.count, measured.count);
  EXPECT_EQ(std::vector<int>({zoomed.left, zoomed.top, zoomed.right, zoomed.bottom}),
            std::vector<int>({measured.left, measured.top, measured.right, measured.bottom}));
  EXPECT_EQ(zoomed.left, 13);  // the first column that repeats column 5: 5 x 665 / 266 = 12.5, up
  EXPECT_EQ(ZoomMask(bar, 1.0f).pixels, bar.pixels);

  int x = 0, y = 0;
  EXPECT_FALSE(PreviewPixelAt(zoom, big.width, 0, x, y));
  EXPECT_FALSE(PreviewPixelAt(zoom, 0, -1, x, y));
  EXPECT_TRUE(PreviewPixelAt(1.0f, 265, 489, x, y));
  EXPECT_EQ(x, 265);
}

}  // namespace
