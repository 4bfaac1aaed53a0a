#include <gtest/gtest.h>

#include "images/bmp_writer.h"
#include "images/decode.h"
#include "test_util.h"

namespace {

std::uint32_t U32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
unsigned U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}

TEST(Bmp16Writer, HeaderAndSizes) {
  EXPECT_EQ(EncodeBmp16(Picture(256, 192)).size(), 98360u);
  EXPECT_EQ(EncodeBmp16(Picture(1, 1)).size(), 60u);

  const std::string b = EncodeBmp16(Picture(3, 2));
  ASSERT_EQ(b.size(), 72u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(U32(b, 2), 72u);
  EXPECT_EQ(U32(b, 6), 0u);
  EXPECT_EQ(U32(b, 10), 54u);
  EXPECT_EQ(U32(b, 14), 40u);
  EXPECT_EQ(U32(b, 18), 3u);
  EXPECT_EQ(U32(b, 22), 2u);
  EXPECT_EQ(U16(b, 26), 1u);
  EXPECT_EQ(U16(b, 28), 16u);
  EXPECT_EQ(U32(b, 30), 0u);
  EXPECT_EQ(U32(b, 34), 18u);
  EXPECT_EQ(U32(b, 38), 2834u);
  EXPECT_EQ(U32(b, 42), 2834u);
  EXPECT_EQ(U32(b, 46), 0u);
  EXPECT_EQ(U32(b, 50), 0u);
}

TEST(Bmp16Writer, PixelsRowsPaddingAndTail) {
  Picture p(3, 2);
  p.at(0, 0) = {248, 248, 248};
  p.at(1, 0) = {255, 255, 255};
  p.at(2, 0) = {7, 7, 7};
  p.at(0, 1) = {0, 248, 0};
  p.at(1, 1) = {248, 0, 0};
  p.at(2, 1) = {0, 0, 8};
  std::string b = EncodeBmp16(p);
  // Stored row 0 is the bottom picture row.
  EXPECT_EQ(U16(b, 54), 0x03E0u);
  EXPECT_EQ(U16(b, 56), 0x7C00u);
  EXPECT_EQ(U16(b, 58), 0x0001u);
  EXPECT_EQ(U16(b, 60), 0u);  // padding
  EXPECT_EQ(U16(b, 62), 0x7FFFu);
  EXPECT_EQ(U16(b, 64), 0x7FFFu);
  EXPECT_EQ(U16(b, 66), 0x0000u);
  EXPECT_EQ(U16(b, 68), 0u);  // padding
  EXPECT_EQ(U16(b, 70), 0u);  // the two bytes after the last row

  // Read back by the direct path: the same values, bit 15 apart.
  const auto back = DecodeSkinImage(b, true);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->at(0, 0), (Rgb24{248, 248, 248}));
  EXPECT_EQ(back->at(1, 0), (Rgb24{248, 248, 248}));
  EXPECT_EQ(back->at(2, 0), (Rgb24{0, 0, 0}));
  EXPECT_EQ(back->at(0, 1), (Rgb24{0, 248, 0}));
  EXPECT_EQ(EncodeBmp16(*back).substr(54), b.substr(54));
}

TEST(Bmp24Writer, ScreenshotLayout) {
  Picture p(256, 384);
  p.at(0, 0) = {1, 2, 3};
  p.at(255, 383) = {4, 5, 6};
  const std::string b = EncodeBmp24(p);
  ASSERT_EQ(b.size(), 294966u);
  EXPECT_EQ(U16(b, 28), 24u);
  EXPECT_EQ(U32(b, 34), 768u * 384);
  EXPECT_EQ(U32(b, 38), 0u);
  EXPECT_EQ(U32(b, 42), 0u);
  // Bottom row first, blue-green-red.
  EXPECT_EQ(b.substr(54 + 255 * 3, 3), "\x06\x05\x04");
  EXPECT_EQ(b.substr(54 + 383 * 768, 3), "\x03\x02\x01");
}

}  // namespace
