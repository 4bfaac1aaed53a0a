#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdlib>

#include "images/decode.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"
#include "reduce_by_the_rule.h"
#include "test_util.h"

namespace {

using testutil::Data;
using testutil::MakeBmp16;
using testutil::ReadFile;

bool Near(Rgb24 a, Rgb24 b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

TEST(DirectBmp16, RowsPaddingAndBits) {
  // Three pixels wide: rows of 8 bytes, the fourth value skipped.
  const std::string b = MakeBmp16(3, {{0x7FFF, 0x8000, 0x001F}, {0x03E0, 0x7C00, 0xFFFF}});
  ASSERT_EQ(b.size(), 54u + 16);
  const auto pic = DecodeSkinImage(b, true);
  ASSERT_TRUE(pic);
  ASSERT_EQ(pic->width, 3);
  ASSERT_EQ(pic->height, 2);
  EXPECT_EQ(pic->at(0, 0), (Rgb24{248, 248, 248}));
  EXPECT_EQ(pic->at(1, 0), (Rgb24{0, 0, 0}));  // bit 15 ignored
  EXPECT_EQ(pic->at(2, 0), (Rgb24{0, 0, 248}));  // blue in the low bits
  EXPECT_EQ(pic->at(0, 1), (Rgb24{0, 248, 0}));
  EXPECT_EQ(pic->at(1, 1), (Rgb24{248, 0, 0}));
  EXPECT_EQ(pic->at(2, 1), (Rgb24{248, 248, 248}));

  // Values that are not 15-bit clean in 8 bits are not diffused on this path.
  const auto grey = DecodeSkinImage(MakeBmp16(2, {{0x0421, 0x0421}}), true);
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey->at(1, 0), (Rgb24{8, 8, 8}));

  // Top-down rows are read top-down.
  const auto td = DecodeSkinImage(MakeBmp16(1, {{0x7C00}, {0x001F}}, 0, true), true);
  ASSERT_TRUE(td);
  EXPECT_EQ(td->at(0, 0), (Rgb24{248, 0, 0}));
  EXPECT_EQ(td->at(0, 1), (Rgb24{0, 0, 248}));
}

TEST(DirectBmp16, MalformedFilesAreRefusedWithoutReadingPastTheEnd) {
  const std::string good = MakeBmp16(5, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}});
  for (std::size_t n = 0; n < good.size(); ++n) {
    // Each prefix in a buffer of its own size, so ASan sees any overread.
    std::vector<char> buf(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(DecodeSkinImage(std::string_view(buf.data(), buf.size()), true)) << n;
  }
  std::string bad = good;
  testutil::Put32(bad, 10, 0xFFFFFFF0u);  // pixel data far past the end
  EXPECT_FALSE(DecodeSkinImage(bad, true));
  for (std::uint32_t w : {0u, 0x80000000u, 0x7FFFFFFFu, 16385u}) {
    bad = good;
    testutil::Put32(bad, 18, w);
    EXPECT_FALSE(DecodeSkinImage(bad, true)) << w;
  }
  bad = good;
  testutil::Put32(bad, 18, 10000);
  testutil::Put32(bad, 22, 10000);  // 100 million pixels: over the limit before any allocation
  EXPECT_FALSE(DecodeSkinImage(bad, true));
}

TEST(GeneralPath, BitFieldBmp16IsDecodedAndReduced) {
  // 5-6-5 bit fields: 0xF800 is full red. Read directly it would be 30 in
  // the 5-5-5 red field.
  std::string b = MakeBmp16(1, {{0xF800}}, 3);
  b.insert(54, std::string(12, '\0'));
  testutil::Put32(b, 10, 66);
  testutil::Put32(b, 2, static_cast<std::uint32_t>(b.size()));
  testutil::Put32(b, 54, 0xF800);
  testutil::Put32(b, 58, 0x07E0);
  testutil::Put32(b, 62, 0x001F);
  const auto pic = DecodeSkinImage(b, true);
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->at(0, 0), (Rgb24{248, 0, 0}));
}

TEST(GeneralPath, BitFields555ImportLikeTheDirectRoad) {
  // The V3 file with its compression set to none is a plain 16-bit file:
  // the direct road reads the same words.
  std::string plain = ReadFile(Data("bmp/rgb555_v3.bmp"));
  testutil::Put32(plain, 30, 0);
  const auto direct = DecodeSkinImage(plain, true);
  ASSERT_TRUE(direct);
  ASSERT_EQ(direct->width, 32);
  for (const char* name : {"bmp/rgb555_v3.bmp", "bmp/rgb555_v5.bmp"}) {
    const auto pic = DecodeSkinImage(ReadFile(Data(name)), true);
    ASSERT_TRUE(pic) << name;
    EXPECT_EQ(*pic, *direct) << name;
  }
}

TEST(GeneralPath, BitFields565KeepRedAndBlueAndDiffuseGreen) {
  const std::string bytes = ReadFile(Data("bmp/rgb565_ramp_v5.bmp"));
  const auto plain = DecodeSkinImage(bytes, false);
  const auto imported = DecodeSkinImage(bytes, true);
  ASSERT_TRUE(plain && imported);
  EXPECT_EQ(*imported, ReduceByTheRule(*plain));
  int carried = 0;  // green values raised by a neighbour's error
  for (std::size_t i = 0; i < plain->pixels.size(); ++i) {
    const Rgb24 before = plain->pixels[i], after = imported->pixels[i];
    EXPECT_TRUE(before.r % 8 == 0 && before.b % 8 == 0) << i;  // five bits: the console's steps already
    EXPECT_EQ(after.r, before.r) << i;
    EXPECT_EQ(after.b, before.b) << i;
    carried += after.g != (before.g & 0xF8);
  }
  EXPECT_GT(carried, 0);
}

TEST(GeneralPath, PngOfEveryKind) {
  const std::vector<Rgb24> card = {{255, 0, 0},  {0, 255, 0},    {0, 0, 255},   {255, 255, 255},
                                   {10, 20, 30}, {200, 100, 50}, {0, 0, 0},     {128, 128, 128},
                                   {248, 248, 248}, {8, 16, 24}, {255, 128, 1}, {1, 2, 3}};
  for (const char* name : {"card_rgb8.png", "card_palette.png", "card_interlaced.png", "png_named.bmp"}) {
    const auto pic = DecodeSkinImage(ReadFile(Data(std::string("images/") + name)), false);
    ASSERT_TRUE(pic) << name;
    ASSERT_EQ(pic->width, 4);
    ASSERT_EQ(pic->height, 3);
    EXPECT_EQ(pic->pixels, card) << name;
  }
  // Reduced when asked: every channel a multiple of 8.
  const auto reduced = DecodeSkinImage(ReadFile(Data("images/card_rgb8.png")), true);
  ASSERT_TRUE(reduced);
  for (const Rgb24& px : reduced->pixels) EXPECT_TRUE(px.r % 8 == 0 && px.g % 8 == 0 && px.b % 8 == 0);

  // Alpha below 128 becomes the key green; 128 and above keep their colour.
  const auto alpha = DecodeSkinImage(ReadFile(Data("images/alpha_rgba.png")), false);
  ASSERT_TRUE(alpha);
  EXPECT_EQ(alpha->pixels, (std::vector<Rgb24>{{0, 248, 0}, {0, 248, 0}, {10, 20, 30}, {40, 50, 60}}));
  const auto trns = DecodeSkinImage(ReadFile(Data("images/palette_trns.png")), false);
  ASSERT_TRUE(trns);
  EXPECT_EQ(trns->pixels, (std::vector<Rgb24>{{200, 100, 0}, {0, 248, 0}}));

  const auto gray1 = DecodeSkinImage(ReadFile(Data("images/gray1.png")), false);
  ASSERT_TRUE(gray1);
  EXPECT_EQ(gray1->at(0, 0), (Rgb24{0, 0, 0}));
  EXPECT_EQ(gray1->at(1, 0), (Rgb24{255, 255, 255}));
  const auto gray16 = DecodeSkinImage(ReadFile(Data("images/gray16.png")), false);
  ASSERT_TRUE(gray16);
  EXPECT_EQ(gray16->at(1, 0), (Rgb24{128, 128, 128}));
  const auto rgb16 = DecodeSkinImage(ReadFile(Data("images/rgb16.png")), false);
  ASSERT_TRUE(rgb16);
  EXPECT_EQ(rgb16->at(0, 0), (Rgb24{255, 0, 128}));
}

TEST(GeneralPath, JpegOfEveryKindAndContentOverExtension) {
  for (const char* name : {"baseline.jpg", "progressive.jpg", "cmyk.jpg", "jpeg_named.png"}) {
    const auto pic = DecodeSkinImage(ReadFile(Data(std::string("images/") + name)), false);
    ASSERT_TRUE(pic) << name;
    EXPECT_EQ(pic->width, 16);
    EXPECT_TRUE(Near(pic->at(7, 7), {200, 40, 120}, 6)) << name << " " << int(pic->at(7, 7).r) << ","
                                                        << int(pic->at(7, 7).g) << "," << int(pic->at(7, 7).b);
  }
  const auto grey = DecodeSkinImage(ReadFile(Data("images/grayscale.jpg")), false);
  ASSERT_TRUE(grey);
  EXPECT_TRUE(Near(grey->at(3, 3), {153, 153, 153}, 3));
}

std::string PngWithSize(std::uint32_t w, std::uint32_t h) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string ihdr = "IHDR";
  for (std::uint32_t v : {w, h}) {
    for (int s = 24; s >= 0; s -= 8) ihdr += static_cast<char>((v >> s) & 255);
  }
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);
  png += std::string("\0\0\0\x0d", 4) + ihdr;
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(ihdr.data()), static_cast<uInt>(ihdr.size()));
  for (int s = 24; s >= 0; s -= 8) png += static_cast<char>((crc >> s) & 255);
  return png;
}

TEST(GeneralPath, MalformedPngAndJpegAreRefused) {
  for (const char* name : {"images/card_rgb8.png", "images/card_interlaced.png", "images/baseline.jpg",
                           "images/progressive.jpg"}) {
    const std::string good = ReadFile(Data(name));
    const auto whole = DecodeSkinImage(good, true);
    ASSERT_TRUE(whole) << name;
    const bool png = std::string_view(name).ends_with(".png");
    for (std::size_t n = 0; n + 1 < good.size(); n += 3) {
      // Each cut copied, so that a read past its end is one the sanitizers see.
      std::vector<char> buf(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
      const auto pic = DecodeSkinImage(std::string_view(buf.data(), buf.size()), true);
      // A PNG without its end is refused; libjpeg may still give the whole
      // picture's size with its missing rows filled in.
      if (png) {
        EXPECT_FALSE(pic) << name << " cut at " << n;
      } else if (pic) {
        EXPECT_EQ(pic->width, whole->width) << name << " cut at " << n;
        EXPECT_EQ(pic->height, whole->height) << name << " cut at " << n;
      }
    }
  }
  EXPECT_FALSE(DecodeSkinImage(PngWithSize(20000, 10), true));
  EXPECT_FALSE(DecodeSkinImage(PngWithSize(16000, 16000), true));  // 256 million pixels
  EXPECT_FALSE(DecodeSkinImage("", true));
  EXPECT_FALSE(DecodeSkinImage("GIF89a", true));
  EXPECT_FALSE(DecodeSkinImage(std::string(300, '\xFF'), true));
}

// `jpeg` with the picture size in its frame header replaced.
std::string JpegWithSize(std::string jpeg, unsigned w, unsigned h) {
  const std::size_t sof = jpeg.find("\xFF\xC0");
  jpeg[sof + 5] = static_cast<char>(h >> 8);
  jpeg[sof + 6] = static_cast<char>(h & 255);
  jpeg[sof + 7] = static_cast<char>(w >> 8);
  jpeg[sof + 8] = static_cast<char>(w & 255);
  return jpeg;
}

// An 8-bit run-length BMP of the given size whose data end at once.
std::string RleWithSize(std::uint32_t w, std::uint32_t h) {
  std::string b(54 + 4, '\0');
  b[0] = 'B';
  b[1] = 'M';
  testutil::Put32(b, 10, 54);
  testutil::Put32(b, 14, 40);
  testutil::Put32(b, 18, w);
  testutil::Put32(b, 22, h);
  testutil::Put16(b, 26, 1);
  testutil::Put16(b, 28, 8);
  testutil::Put32(b, 30, 1);
  b[57] = 1;  // end of bitmap
  return b;
}

TEST(GeneralPath, SizesOverTheLimitsOrBeyondTheBytesAreRefusedBeforeAllocating) {
  const std::string jpeg = ReadFile(Data("images/baseline.jpg"));
  std::string wideBmp16 = MakeBmp16(1, {{0}});
  testutil::Put32(wideBmp16, 18, 20000);
  const struct {
    const char* what;
    std::string bytes;
    DecodeResult::Kind kind;
  } cases[] = {
      {"PNG text chunk claiming 1.7 GB", ReadFile(std::string(SKIN_TEST_DATA) + "/../fuzz/decode/text_claims_2gb.png"),
       DecodeResult::Unreadable},
      {"PNG header alone, 8000 x 8000", PngWithSize(8000, 8000), DecodeResult::Unreadable},
      {"PNG 20000 wide", PngWithSize(20000, 10), DecodeResult::TooLarge},
      {"JPEG of 16 x 16 claiming 8000 x 8000", JpegWithSize(jpeg, 8000, 8000), DecodeResult::Unreadable},
      {"JPEG 20000 wide", JpegWithSize(jpeg, 20000, 16), DecodeResult::TooLarge},
      {"JPEG 65535 wide", JpegWithSize(jpeg, 65535, 16), DecodeResult::TooLarge},
      {"RLE8 of four bytes claiming 8000 x 8000", RleWithSize(8000, 8000), DecodeResult::Unreadable},
      {"RLE8 20000 high", RleWithSize(10, 20000), DecodeResult::TooLarge},
      {"16-bit 20000 wide", wideBmp16, DecodeResult::TooLarge},
  };
  for (const auto& c : cases) {
    Picture pic;
    EXPECT_EQ(DecodeSkinImage(c.bytes, true, pic).kind, c.kind) << c.what;
    EXPECT_TRUE(pic.empty()) << c.what;
  }
  // The same sizes within what the bytes can hold still decode.
  EXPECT_TRUE(DecodeSkinImage(JpegWithSize(jpeg, 16, 16), true));
  EXPECT_TRUE(DecodeSkinImage(RleWithSize(1000, 1000), true));
}

TEST(Encoders, PngAndJpegRoundTrip) {
  const Picture p = testutil::MakePicture(13, 7, 5);
  std::string png;
  ASSERT_TRUE(EncodePng(p, png));
  Picture back;
  ASSERT_TRUE(DecodePng(png, back));
  EXPECT_EQ(back, p);
  // RGBA, 8-bit, not interlaced.
  EXPECT_EQ(png[24], 8);
  EXPECT_EQ(png[25], 6);
  EXPECT_EQ(png[28], 0);

  Picture flat(16, 16, {200, 40, 120});
  std::string jpg;
  ASSERT_TRUE(EncodeJpeg(flat, 70, jpg));
  ASSERT_TRUE(DecodeJpeg(jpg, back));
  EXPECT_TRUE(Near(back.at(8, 8), {200, 40, 120}, 6));
}

}  // namespace
