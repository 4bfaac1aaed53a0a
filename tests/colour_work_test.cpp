#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "images/colour_work.h"
#include "images/defaults.h"
#include "images/skin_io.h"
#include "skin/schema.h"

namespace {

constexpr Rgb15 R15(int r, int g, int b) { return static_cast<Rgb15>(r | g << 5 | b << 10); }

// Every colour field of the skin, in the schema's order.
std::vector<Rgb24*> ColourFields(Skin& skin) {
  std::vector<Rgb24*> fields;
  for (const SchemaSection& section : SkinSchema()) {
    for (const SchemaField& field : section.fields) {
      if (field.kind == FieldKind::Colour) fields.push_back(field.colour(skin));
    }
  }
  return fields;
}

Skin& FreshSkin() {
  static Skin skin;
  skin = Skin();
  return skin;
}

TEST(Recolour, TableOfColoursWorkedOutByHand) {
  struct Case {
    Rgb15 colour;
    HslShift shift;
    Rgb15 expected;
  };
  const Case cases[] = {
      {R15(31, 0, 0), {120, 0, 0}, R15(0, 31, 0)},     // red to green: the key colour, as the formula says
      {R15(31, 0, 0), {-120, 0, 0}, R15(0, 0, 31)},    // -120 is 240
      {R15(31, 0, 0), {180, 0, 0}, R15(0, 31, 31)},
      {R15(31, 0, 0), {-180, 0, 0}, R15(0, 31, 31)},
      {R15(0, 31, 0), {120, 0, 0}, R15(0, 0, 31)},     // the key colour is a colour like any other here
      {R15(0, 0, 31), {60, 0, 0}, R15(31, 0, 31)},     // 240 + 60
      {R15(31, 15, 0), {60, 0, 0}, R15(16, 31, 0)},    // hue 29.03 + 60: red 0.5 + 0.5 / 31 = 16 / 31
      {R15(31, 31, 31), {120, 0, 0}, R15(31, 31, 31)},  // a grey has hue 0 and no saturation
      {R15(10, 10, 10), {90, 0, 0}, R15(10, 10, 10)},
      {R15(10, 10, 10), {0, 50, 0}, R15(15, 5, 5)},    // saturated at hue 0: l +- 0.5 x min(l, 1 - l)
      {R15(0, 0, 0), {0, 100, 0}, R15(0, 0, 0)},
      {R15(31, 0, 0), {0, 50, 0}, R15(31, 0, 0)},      // saturation clamped at 1
      {R15(31, 0, 0), {0, -40, 0}, R15(25, 6, 6)},     // s 0.6: 0.8 and 0.2 of 31 = 24.8, 6.2
      {R15(31, 0, 0), {0, -100, 0}, R15(16, 16, 16)},  // 15.5 rounds up
      {R15(31, 0, 0), {0, 0, -20}, R15(19, 0, 0)},     // l 0.3: 0.6 x 31 = 18.6
      {R15(31, 0, 0), {0, 0, 100}, R15(31, 31, 31)},   // lightness clamped at 1
      {R15(31, 0, 0), {0, 0, -100}, R15(0, 0, 0)},
      {R15(31, 31, 31), {0, 0, 20}, R15(31, 31, 31)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RecolourColour(c.colour, c.shift), c.expected)
        << std::hex << c.colour << " by " << std::dec << c.shift.hue << ", " << c.shift.saturation << ", "
        << c.shift.lightness;
  }
}

TEST(Recolour, NoShiftGivesEveryColourBack) {
  for (unsigned v = 0; v < 0x8000; ++v) {
    ASSERT_EQ(RecolourColour(static_cast<Rgb15>(v), {}), v) << std::hex << v;
  }
}

TEST(Recolour, NoShiftSavesTheDefaultSkinByteForByte) {
  static Skin skin;
  ResetSkinToDefaults(skin);
  const DateTime when{2020, 1, 2, 3, 4, 5};
  const std::vector<SkinFile> before = EncodeSkinFiles(skin, {}, when);
  EXPECT_FALSE(RecolourSkin(skin, {}, RecolourScope::Everything));
  const std::vector<SkinFile> after = EncodeSkinFiles(skin, {}, when);
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i].bytes, after[i].bytes) << before[i].path;
}

TEST(Recolour, KeyGreenStaysAndColoursThatStayKeepTheirLowBits) {
  Skin& skin = FreshSkin();
  const Rgb24 key{0, 248, 0}, nearKey{3, 250, 5}, white{255, 255, 255}, red{248, 0, 0}, cyan{0, 248, 248};
  skin.image(ImageId::lamp) = Picture(4, 1);
  skin.image(ImageId::lamp).pixels = {key, nearKey, white, red};
  for (Rgb24* field : ColourFields(skin)) *field = red;

  Skin pictures = skin;
  EXPECT_TRUE(RecolourSkin(pictures, {180, 0, 0}, RecolourScope::Pictures));
  EXPECT_EQ(pictures.image(ImageId::lamp).pixels, (std::vector<Rgb24>{key, nearKey, white, cyan}));
  EXPECT_EQ(pictures.colours.formFrameColor, red);

  Skin fields = skin;
  EXPECT_TRUE(RecolourSkin(fields, {180, 0, 0}, RecolourScope::Fields));
  EXPECT_EQ(fields.image(ImageId::lamp), skin.image(ImageId::lamp));
  std::size_t recoloured = 0;
  for (Rgb24* field : ColourFields(fields)) recoloured += *field == cyan;
  EXPECT_EQ(recoloured, 41u);

  EXPECT_TRUE(RecolourSkin(skin, {180, 0, 0}, RecolourScope::Everything));
  EXPECT_EQ(skin.image(ImageId::lamp), pictures.image(ImageId::lamp));
  EXPECT_EQ(skin.mainList.selectionBarColor2, cyan);

  // Red turned by 120 degrees is key green: a picture's pixel keeps showing
  // (as the green just below), a colour field takes it as it is.
  Skin turned = FreshSkin();
  turned.image(ImageId::lamp) = Picture(1, 1, red);
  turned.colours.formFrameColor = red;
  EXPECT_TRUE(RecolourSkin(turned, {120, 0, 0}, RecolourScope::Everything));
  EXPECT_EQ(turned.image(ImageId::lamp).at(0, 0), (Rgb24{0, 240, 0}));
  EXPECT_EQ(turned.colours.formFrameColor, key);

  // Nothing but greys and key green: a hue shift changes nothing.
  Skin greys = FreshSkin();
  greys.image(ImageId::lamp) = Picture(2, 1, white);
  greys.image(ImageId::lamp).at(1, 0) = key;
  EXPECT_FALSE(RecolourSkin(greys, {90, 0, 0}, RecolourScope::Everything));
}

TEST(ReplaceColours, ExactValuesAllAtOnce) {
  Skin& skin = FreshSkin();
  const Rgb24 one{8, 0, 0}, oneWithLowBits{15, 7, 7}, two{16, 0, 0}, blackish{3, 4, 5};
  skin.image(ImageId::btn) = Picture(4, 1);
  skin.image(ImageId::btn).pixels = {one, oneWithLowBits, two, blackish};
  skin.colours.formBodyColor = one;
  skin.timeText.color = two;

  EXPECT_TRUE(ReplaceColours(skin, {{1, 2}, {2, 1}}));
  EXPECT_EQ(skin.image(ImageId::btn).pixels, (std::vector<Rgb24>{two, two, one, blackish}));
  EXPECT_EQ(skin.colours.formBodyColor, two);
  EXPECT_EQ(skin.timeText.color, one);
  EXPECT_EQ(skin.colours.formFrameColor, (Rgb24{0, 0, 0}));

  EXPECT_FALSE(ReplaceColours(skin, {{R15(31, 31, 31), 5}}));  // no white anywhere
  EXPECT_FALSE(ReplaceColours(skin, {}));
}

TEST(Palette, CountsFieldsAndPicturesSortedByUse) {
  Skin& skin = FreshSkin();  // every field black
  const Rgb24 red{248, 0, 0}, key{0, 250, 0}, blue{0, 0, 248}, white{248, 248, 248};
  skin.image(ImageId::lamp) = Picture(5, 1, red);
  skin.image(ImageId::lamp).pixels[0] = key;
  skin.image(ImageId::lamp).pixels[1] = white;
  skin.image(ImageId::icon_nds) = Picture(1, 1, red);
  skin.image(ImageId::active) = Picture(1, 1, blue);
  skin.colours.formTextColor = blue;

  const std::vector<PaletteEntry> palette = SkinPalette(skin);
  std::vector<std::pair<Rgb15, long long>> counts;
  for (const PaletteEntry& e : palette) counts.emplace_back(e.colour, e.count);
  // Blue, key and white are used twice, once and once: equal counts go by value.
  const std::vector<std::pair<Rgb15, long long>> expected = {
      {0, 40}, {R15(31, 0, 0), 4}, {R15(0, 0, 31), 2}, {kKeyColour15, 1}, {R15(31, 31, 31), 1}};
  EXPECT_EQ(counts, expected);
  ASSERT_EQ(palette.size(), expected.size());
  EXPECT_EQ(palette[0].fields.size(), 40u);
  EXPECT_EQ(palette[0].fields.front(), (std::pair<std::string, std::string>{"[global settings]", "formFrameColor"}));
  EXPECT_EQ(palette[0].fields.back(), (std::pair<std::string, std::string>{"[time text]", "color"}));
  EXPECT_TRUE(palette[0].pictures.empty());
  EXPECT_EQ(palette[1].pictures,
            (std::vector<std::pair<ImageId, long long>>{{ImageId::lamp, 3}, {ImageId::icon_nds, 1}}));
  EXPECT_EQ(palette[2].fields,
            (std::vector<std::pair<std::string, std::string>>{{"[global settings]", "formTextColor"}}));
  EXPECT_EQ(palette[2].pictures, (std::vector<std::pair<ImageId, long long>>{{ImageId::active, 1}}));
  EXPECT_TRUE(palette[3].key());
  EXPECT_FALSE(palette[4].key());
}

TEST(Palette, DefaultSkinAddsUpToEveryPixelAndField) {
  static Skin skin;
  ResetSkinToDefaults(skin);
  long long pixels = 0;
  for (const Picture& p : skin.images) pixels += static_cast<long long>(p.pixels.size());
  long long total = 0;
  std::size_t fields = 0;
  for (const PaletteEntry& e : SkinPalette(skin)) {
    long long own = static_cast<long long>(e.fields.size());
    for (const auto& [id, n] : e.pictures) own += n;
    EXPECT_EQ(own, e.count) << std::hex << e.colour;
    total += e.count;
    fields += e.fields.size();
  }
  EXPECT_EQ(total, pixels + 41);
  EXPECT_EQ(fields, 41u);
}

}  // namespace
