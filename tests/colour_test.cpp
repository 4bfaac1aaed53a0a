#include <gtest/gtest.h>

#include <optional>

#include "skin/colour.h"

namespace {

constexpr Rgb24 kWhite{248, 248, 248};

TEST(ColourText, ReadsTheFormsFoundInSkinFiles) {
  EXPECT_EQ(ParseSkinColour("0x7FFF"), kWhite);
  EXPECT_EQ(ParseSkinColour("0x7fff"), kWhite);
  EXPECT_EQ(ParseSkinColour("7fff"), kWhite);
  EXPECT_EQ(ParseSkinColour("0xffff"), kWhite);           // bit 15 dropped
  EXPECT_EQ(ParseSkinColour("0X7FFF"), kWhite);           // "0X" stays, then cut to 7FFF
  EXPECT_EQ(ParseSkinColour("0X1F"), (Rgb24{0, 0, 0}));   // "0X" stays, and the X ends the digits
  EXPECT_EQ(ParseSkinColour("0x0x7fff"), kWhite);         // both "0x" go
  EXPECT_EQ(ParseSkinColour(""), (Rgb24{0, 0, 0}));
  EXPECT_EQ(ParseSkinColour("1f"), (Rgb24{248, 0, 0}));   // red in the low bits
  EXPECT_EQ(ParseSkinColour("0x12345"), Rgb15ToRgb24(0x2345));
  EXPECT_EQ(ParseSkinColour("0x1g"), (Rgb24{8, 0, 0}));   // 001g reads as 0x0001
  EXPECT_EQ(ParseSkinColour("0xzz"), (Rgb24{0, 0, 0}));
  EXPECT_EQ(ParseSkinColour("g123"), (Rgb24{0, 0, 0}));   // first character not a digit
  EXPECT_EQ(ParseSkinColour("7fff\t"), Rgb15ToRgb24(0x0fff));  // the tab is a character
  EXPECT_EQ(ParseSkinColour("0x03e0"), (Rgb24{0, 248, 0}));
  EXPECT_EQ(ParseSkinColour("0x7c00"), (Rgb24{0, 0, 248}));
}

TEST(ColourText, WritesFourLowerCaseDigitsWithoutBit15) {
  EXPECT_EQ(FormatSkinColour(ParseSkinColour("0xffff")), "0x7fff");
  EXPECT_EQ(FormatSkinColour(ParseSkinColour("0x980c")), "0x180c");
  EXPECT_EQ(FormatSkinColour({255, 255, 255}), "0x7fff");
  EXPECT_EQ(FormatSkinColour({7, 7, 7}), "0x0000");
  EXPECT_EQ(FormatSkinColour(Rgb15ToRgb24(0x0422)), "0x0422");
  EXPECT_EQ(FormatSkinColour(Rgb15ToRgb24(0x0c63)), "0x0c63");
  EXPECT_EQ(FormatSkinColour({96, 0, 48}), "0x180c");
}

TEST(ColourText, WhatAPersonTypesOrPastes) {
  const std::pair<const char*, std::optional<Rgb24>> cases[] = {
      {"#ff8800", Rgb24{255, 136, 0}}, {"FF8800", Rgb24{255, 136, 0}}, {"  #0a0B0c\r\n", Rgb24{10, 11, 12}},
      {"0x7f94", Rgb24{160, 224, 248}},  // 15-bit, red in the low bits
      {"0X1F", Rgb24{248, 0, 0}},        {"0xffff", Rgb24{248, 248, 248}},  // bit 15 ignored, as a file is read
      {"#ff880", std::nullopt},          {"#ff88001", std::nullopt}, {"#gg8800", std::nullopt},
      {"0x", std::nullopt},              {"0x12345", std::nullopt},  {"", std::nullopt},
      {"red", std::nullopt},             {"# ff8800", std::nullopt},
  };
  for (const auto& [text, colour] : cases) EXPECT_EQ(ParseColourText(text), colour) << text;
  EXPECT_EQ(FormatHexColour({255, 136, 0}), "#ff8800");
  EXPECT_EQ(ParseColourText(FormatHexColour({1, 2, 254})), (Rgb24{1, 2, 254}));
}

TEST(ColourConversion, EveryFifteenBitValueSurvivesTheRoundTrip) {
  for (unsigned v = 0; v < 0x10000; ++v) {
    const Rgb24 c = Rgb15ToRgb24(static_cast<Rgb15>(v));
    ASSERT_EQ(c.r % 8, 0);
    ASSERT_EQ(Rgb24ToRgb15(c), v & 0x7fff);
    ASSERT_EQ(ParseSkinColour(FormatSkinColour(c)), c);
  }
  EXPECT_EQ(Rgb24ToRgb15({255, 128, 1}), 31 + 16 * 32);
  EXPECT_EQ(PackRgb24({255, 0, 0}), 255u);
  EXPECT_EQ(UnpackRgb24(16711680), (Rgb24{0, 0, 255}));
}

}  // namespace
