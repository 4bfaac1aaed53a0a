#include "images/bmp_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

// Lets failing comparisons show colours as numbers.
static void PrintTo(const Rgb24& c, std::ostream* os) {
  *os << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

namespace {

constexpr Rgb24 kBlack{0, 0, 0};
constexpr Rgb24 kKey{0, 248, 0};
constexpr Rgb24 kRed{255, 0, 0};
constexpr Rgb24 kGreen{0, 255, 0};
constexpr Rgb24 kBlue{0, 0, 255};
constexpr Rgb24 kWhite{255, 255, 255};
constexpr Rgb24 kMagenta{255, 0, 255};
// Full 5-bit channels come out as the console's own 248.
constexpr Rgb24 kRed5{248, 0, 0};
constexpr Rgb24 kGreen5{0, 248, 0};
constexpr Rgb24 kBlue5{0, 0, 248};

// Four palette colours that are none of black, so that "never written" shows.
constexpr Rgb24 kP0{10, 10, 10};
constexpr Rgb24 kP1{200, 0, 0};
constexpr Rgb24 kP2{0, 200, 0};
constexpr Rgb24 kP3{0, 0, 200};

// Little-endian byte assembly for hand-made files.
struct Bytes {
  std::string s;
  Bytes& u8(unsigned v) {
    s.push_back(static_cast<char>(v & 0xFF));
    return *this;
  }
  Bytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
  Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  Bytes& raw(std::initializer_list<unsigned> bytes) {
    for (unsigned b : bytes) u8(b);
    return *this;
  }
};

// One stored row: the given bytes, padded to a multiple of four with `fill`
// (not zero, so that a decoder reading padding as pixels is caught).
std::string Row(std::initializer_list<unsigned> bytes, unsigned fill = 0xEE) {
  Bytes b;
  b.raw(bytes);
  while (b.s.size() % 4 != 0) b.u8(fill);
  return b.s;
}

std::string Words16(std::initializer_list<unsigned> words) {
  Bytes b;
  for (unsigned w : words) b.u16(w);
  return b.s;
}

std::string Words32(std::initializer_list<std::uint32_t> words) {
  Bytes b;
  for (std::uint32_t w : words) b.u32(w);
  return b.s;
}

// A test-side writer: every field is set by the test, including wrong ones.
struct TestBmp {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  unsigned bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint32_t> headerMasks;    // at offset 40 of a 52/56/108/124-byte header
  std::vector<std::uint32_t> trailingMasks;  // right after the header
  std::vector<Rgb24> palette;
  std::string gap;  // bytes between palette and pixel data
  std::string pixels;
  std::optional<std::uint32_t> pixelOffset;  // default: the true one

  std::string Build() const {
    Bytes info;
    if (headerSize == 12) {
      info.u32(12).u16(static_cast<unsigned>(width)).u16(static_cast<unsigned>(height)).u16(1).u16(bitsPerPixel);
    } else {
      info.u32(headerSize).u32(static_cast<std::uint32_t>(width)).u32(static_cast<std::uint32_t>(height));
      info.u16(1).u16(bitsPerPixel).u32(compression).u32(static_cast<std::uint32_t>(pixels.size()));
      info.u32(2835).u32(2835).u32(coloursUsed).u32(0);
      for (std::uint32_t m : headerMasks) info.u32(m);
      while (info.s.size() < std::min<std::uint32_t>(headerSize, 124)) info.u8(0);  // a lying size stays a lie
    }
    Bytes extra;
    for (std::uint32_t m : trailingMasks) extra.u32(m);
    for (const Rgb24& c : palette) {
      extra.u8(c.b).u8(c.g).u8(c.r);
      if (headerSize != 12) extra.u8(0);
    }
    extra.s += gap;
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.s.size() + extra.s.size());
    Bytes file;
    file.u8('B').u8('M').u32(static_cast<std::uint32_t>(offset + pixels.size())).u32(0);
    file.u32(pixelOffset.value_or(offset));
    return file.s + info.s + extra.s + pixels;
  }
};

// Compares a decoded picture with hand-computed pixels listed top row first.
::testing::AssertionResult PictureIs(const Picture& p, int w, int h, const std::vector<Rgb24>& expected) {
  if (p.width != w || p.height != h) {
    return ::testing::AssertionFailure() << "size " << p.width << "x" << p.height << ", expected " << w << "x" << h;
  }
  if (p.pixels.size() != expected.size()) {
    return ::testing::AssertionFailure() << p.pixels.size() << " pixels, expected " << expected.size();
  }
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgb24 got = p.at(x, y), want = expected[std::size_t(y) * std::size_t(w) + std::size_t(x)];
      if (!(got == want)) {
        std::ostringstream os;
        PrintTo(got, &os);
        os << " at (" << x << ", " << y << "), expected ";
        PrintTo(want, &os);
        return ::testing::AssertionFailure() << os.str();
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Decodes from a heap block of exactly the file's size: a std::string would
// hide a one-byte over-read behind its terminating zero, a sanitizer won't.
bool DecodeExact(const std::string& bytes, Picture& p) {
  const std::unique_ptr<char[]> block(new char[bytes.size() + (bytes.empty() ? 1 : 0)]);
  std::copy(bytes.begin(), bytes.end(), block.get());
  return static_cast<bool>(DecodeBmp(std::string_view(block.get(), bytes.size()), p));
}

Picture Decode(const std::string& bytes) {
  Picture p;
  EXPECT_TRUE(DecodeExact(bytes, p));
  return p;
}

// Refusal must leave the caller's picture as it was.
bool Refuses(const std::string& bytes) {
  const Picture before(2, 1, Rgb24{1, 2, 3});
  Picture p = before;
  const bool ok = DecodeExact(bytes, p);
  return !ok && p == before;
}

std::vector<Rgb24> Palette256() {
  std::vector<Rgb24> pal;
  for (unsigned i = 0; i < 256; ++i) {
    pal.push_back(Rgb24{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2)});
  }
  return pal;
}

Rgb24 Entry(unsigned i) { return Palette256()[i]; }

// ---- Well-formed files -----------------------------------------------------

TEST(BmpDecoder, ReadsEveryPaletteDepthWithRowPadding) {
  const Rgb24 a{10, 20, 30}, b{200, 100, 50};
  {  // 1 bit: ten pixels use two bytes; the unused low bits and the padding are set to catch misreads
    TestBmp s;
    s.width = 10;
    s.height = 2;
    s.bitsPerPixel = 1;
    s.palette = {a, b};
    s.pixels = Row({0x40, 0x7F}) + Row({0xB3, 0xBF});  // bottom row first
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 10, 2,
                          {b, a, b, b, a, a, b, b, b, a,  //
                           a, b, a, a, a, a, a, a, a, b}));
  }
  {  // 2 bits, leftmost pixel in the high bits
    TestBmp s;
    s.width = 5;
    s.bitsPerPixel = 2;
    s.palette = {kP0, kP1, kP2, kP3};
    s.pixels = Row({0xE4, 0xBF});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 5, 1, {kP3, kP2, kP1, kP0, kP2}));
  }
  {  // 4 bits, odd width, a three-colour palette: index 5 is past it and gives black
    TestBmp s;
    s.width = 3;
    s.height = 2;
    s.bitsPerPixel = 4;
    s.coloursUsed = 3;
    s.palette = {kP0, kP1, kP2};
    s.pixels = Row({0x25, 0x1F}) + Row({0x01, 0x2F});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 2, {kP0, kP1, kP2, kP2, kBlack, kP1}));
  }
  {  // 8 bits, full palette, three-byte rows padded to four
    TestBmp s;
    s.width = 3;
    s.height = 2;
    s.bitsPerPixel = 8;
    s.palette = Palette256();
    s.pixels = Row({7, 8, 9}) + Row({0, 128, 255});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 2, {Entry(0), Entry(128), Entry(255), Entry(7), Entry(8), Entry(9)}));
  }
}

TEST(BmpDecoder, ReadsEveryHeaderSize) {
  // The same 8-bit picture behind each info header size.
  for (std::uint32_t size : {40u, 52u, 56u, 64u, 108u, 124u}) {
    SCOPED_TRACE(size);
    TestBmp s;
    s.headerSize = size;
    s.width = 2;
    s.height = 2;
    s.bitsPerPixel = 8;
    s.coloursUsed = 4;
    s.palette = {kP0, kP1, kP2, kP3};
    s.pixels = Row({3, 2}) + Row({0, 1});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 2, {kP0, kP1, kP3, kP2}));
  }
  {  // OS/2 1.x: 16-bit sizes and three-byte palette entries; the palette is cut at the pixel data
    TestBmp s;
    s.headerSize = 12;
    s.width = 3;
    s.bitsPerPixel = 8;
    s.palette = {Rgb24{1, 2, 3}, Rgb24{4, 5, 6}};
    s.pixels = Row({1, 0, 2});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, {Rgb24{4, 5, 6}, Rgb24{1, 2, 3}, kBlack}));
  }
  {  // OS/2 1.x, 1 bit
    TestBmp s;
    s.headerSize = 12;
    s.width = 3;
    s.height = 2;
    s.bitsPerPixel = 1;
    s.palette = {kP1, kP2};
    s.pixels = Row({0x20}) + Row({0xC0});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 2, {kP2, kP2, kP1, kP1, kP1, kP2}));
  }
  {  // OS/2 1.x, 24 bits
    TestBmp s;
    s.headerSize = 12;
    s.width = 2;
    s.height = 2;
    s.bitsPerPixel = 24;
    s.pixels = Row({1, 2, 3, 4, 5, 6}) + Row({7, 8, 9, 10, 11, 12});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 2, {Rgb24{9, 8, 7}, Rgb24{12, 11, 10}, Rgb24{3, 2, 1}, Rgb24{6, 5, 4}}));
  }
  {  // OS/2 2.x: four-byte entries like the Windows headers
    TestBmp s;
    s.headerSize = 64;
    s.width = 2;
    s.bitsPerPixel = 4;
    s.coloursUsed = 2;
    s.palette = {kP0, kP3};
    s.pixels = Row({0x10});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {kP3, kP0}));
  }
}

TEST(BmpDecoder, ReadsSixteenBitPixels) {
  {  // Plain 16-bit is 5-5-5 with bit 15 ignored; 5-bit channels widen by v << 3
    TestBmp s;
    s.width = 3;
    s.height = 2;
    s.bitsPerPixel = 16;
    s.pixels = Row({0xE0, 0x03, 0x10, 0x00, 0x00, 0x84}, 0xFF) + Row({0xFF, 0x7F, 0x00, 0x80, 0x01, 0x7C}, 0xFF);
    // 0x7FFF white, 0x8000 black, 0x7C01 = red 31 + blue 1 -> (248, 0, 8)
    // 0x03E0 green, 0x0010 blue 16 -> 128, 0x8400 red 1 -> 8
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 2,
                          {Rgb24{248, 248, 248}, kBlack, Rgb24{248, 0, 8}, kGreen5, Rgb24{0, 0, 128}, Rgb24{8, 0, 0}}));
  }
  // 5-6-5: 0xF800 red, 0x0400 green 32 of 63 -> (32 * 255 + 31) / 63 = 130 (six bits still scale), 0x001F blue
  const std::string pixels565 = Words16({0xF800, 0x0400, 0x001F}) + "\xEE\xEE";
  const std::vector<Rgb24> expected565 = {kRed5, Rgb24{0, 130, 0}, kBlue5};
  {  // masks after a 40-byte header
    TestBmp s;
    s.width = 3;
    s.bitsPerPixel = 16;
    s.compression = 3;
    s.trailingMasks = {0xF800, 0x07E0, 0x001F};
    s.pixels = pixels565;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, expected565));
  }
  for (std::uint32_t size : {52u, 56u, 108u, 124u}) {  // masks inside the header
    SCOPED_TRACE(size);
    TestBmp s;
    s.headerSize = size;
    s.width = 3;
    s.bitsPerPixel = 16;
    s.compression = 3;
    s.headerMasks = {0xF800, 0x07E0, 0x001F, 0};
    s.pixels = pixels565;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, expected565));
  }
  {  // 1-5-5-5 with an alpha bit (four masks after the header)
    TestBmp s;
    s.width = 3;
    s.bitsPerPixel = 16;
    s.compression = 6;
    s.trailingMasks = {0x7C00, 0x03E0, 0x001F, 0x8000};
    s.pixels = Words16({0xFC00, 0x7C00, 0x83E0}) + std::string(2, '\0');
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, {kRed5, kKey, kGreen5}));
  }
}

TEST(BmpDecoder, ReadsTwentyFourBitBottomUpAndTopDown) {
  const std::string bottom = Row({1, 2, 3, 4, 5, 6});
  const std::string middle = Row({10, 20, 30, 40, 50, 60});
  const std::string top = Row({100, 110, 120, 130, 140, 150});
  const std::vector<Rgb24> expected = {Rgb24{120, 110, 100}, Rgb24{150, 140, 130}, Rgb24{30, 20, 10},
                                       Rgb24{60, 50, 40},    Rgb24{3, 2, 1},       Rgb24{6, 5, 4}};
  for (std::uint32_t size : {40u, 124u}) {
    SCOPED_TRACE(size);
    TestBmp s;
    s.headerSize = size;
    s.width = 2;
    s.height = 3;
    s.pixels = bottom + middle + top;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 3, expected));

    s.height = -3;
    s.pixels = top + middle + bottom;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 3, expected));
  }
  {  // the last row's padding may be missing
    TestBmp s;
    s.width = 1;
    s.height = 2;
    s.pixels = Row({1, 2, 3}) + std::string("\x04\x05\x06", 3);
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 1, 2, {Rgb24{6, 5, 4}, Rgb24{3, 2, 1}}));
  }
}

TEST(BmpDecoder, ReadsThirtyTwoBitPixelsWithAndWithoutAlpha) {
  // B, G, R, fourth byte.
  const std::string plain = Words32({0x00102030, 0x37405060});
  {  // plain 32-bit: the fourth byte is never alpha, not even with a v5 alpha mask in the header
    TestBmp s;
    s.width = 2;
    s.bitsPerPixel = 32;
    s.pixels = plain;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {Rgb24{0x10, 0x20, 0x30}, Rgb24{0x40, 0x50, 0x60}}));
    s.headerSize = 124;
    s.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {Rgb24{0x10, 0x20, 0x30}, Rgb24{0x40, 0x50, 0x60}}));
  }
  // Alpha 0x7F and 0 are below half and become the key; 0x80 and 0xFF keep their colour.
  const std::string alpha = Words32({0x7F102030, 0x80405060, 0xFF708090, 0x00A0B0C0});
  const std::vector<Rgb24> keyed = {kKey, Rgb24{0x40, 0x50, 0x60}, Rgb24{0x70, 0x80, 0x90}, kKey};
  for (std::uint32_t size : {56u, 108u, 124u}) {
    SCOPED_TRACE(size);
    TestBmp s;
    s.headerSize = size;
    s.width = 4;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    s.pixels = alpha;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 4, 1, keyed));
    // An alpha channel that is zero everywhere means "unused": all opaque.
    s.width = 2;
    s.pixels = Words32({0x00102030, 0x00405060});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {Rgb24{0x10, 0x20, 0x30}, Rgb24{0x40, 0x50, 0x60}}));
  }
  {  // BI_ALPHABITFIELDS: the fourth mask after a 40-byte header
    TestBmp s;
    s.width = 4;
    s.bitsPerPixel = 32;
    s.compression = 6;
    s.trailingMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    s.pixels = alpha;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 4, 1, keyed));
  }
  {  // bit fields with only colour masks (40 and 52 bytes): no alpha
    TestBmp s;
    s.width = 4;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.trailingMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    s.pixels = alpha;
    const std::vector<Rgb24> opaque = {Rgb24{0x10, 0x20, 0x30}, Rgb24{0x40, 0x50, 0x60}, Rgb24{0x70, 0x80, 0x90},
                                       Rgb24{0xA0, 0xB0, 0xC0}};
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 4, 1, opaque));
    s.headerSize = 52;
    s.trailingMasks.clear();
    s.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 4, 1, opaque));
  }
  {  // masks in another order: R, G, B in bytes 0, 1, 2
    TestBmp s;
    s.width = 1;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.trailingMasks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    s.pixels = Words32({0x00302010});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 1, 1, {Rgb24{0x10, 0x20, 0x30}}));
  }
  {  // 10-10-10-2: 512 of 1023 -> (512 * 255 + 511) / 1023 = 128; alpha 1 of 3 -> 85 (key), 2 -> 170 (kept)
    TestBmp s;
    s.headerSize = 124;
    s.width = 3;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.headerMasks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    s.pixels = Words32({0xFFF80000, 0x400003FF, 0x800003FF});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, {Rgb24{255, 128, 0}, kKey, kBlue}));
  }
}

// ---- Run-length files --------------------------------------------------------

TestBmp RleBmp(std::uint32_t compression, int width, int height, const std::string& stream) {
  TestBmp s;
  s.width = width;
  s.height = height;
  s.bitsPerPixel = compression == 1 ? 8 : 4;
  s.compression = compression;
  s.coloursUsed = 4;
  s.palette = {kP0, kP1, kP2, kP3};
  s.pixels = stream;
  return s;
}

std::string Stream(std::initializer_list<unsigned> bytes) {
  Bytes b;
  b.raw(bytes);
  return b.s;
}

const std::string kRle8Stream = Stream({
    0x03, 0x01,                    // run: three of index 1
    0x00, 0x03, 0x02, 0x03, 0x00,  // absolute: 2, 3, 0 ...
    0x07,                          // ... and its pad byte
    0x00, 0x00,                    // end of line
    0x00, 0x02, 0x02, 0x01,        // delta: right 2, up 1 (leaves a row black)
    0x02, 0x02,                    // run: two of index 2
    0x00, 0x00,                    // end of line
    0x01, 0x03,                    // run: one of index 3
    0x00, 0x01,                    // end of bitmap
    0x05, 0x01,                    // after the end: ignored
});
const std::vector<Rgb24> kRle8Picture = {
    kP3,    kBlack, kBlack, kBlack, kBlack, kBlack,  //
    kBlack, kBlack, kP2,    kP2,    kBlack, kBlack,  //
    kBlack, kBlack, kBlack, kBlack, kBlack, kBlack,  //
    kP1,    kP1,    kP1,    kP2,    kP3,    kP0,     //
};

const std::string kRle4Stream = Stream({
    0x05, 0x12,                    // run: 1, 2, 1, 2, 1
    0x00, 0x02, 0x01, 0x00,        // delta: right 1
    0x01, 0x30,                    // run: 3
    0x00, 0x00,                    // end of line
    0x00, 0x05, 0x30, 0x12, 0x3F,  // absolute: five nibbles 3, 0, 1, 2, 3 in three bytes ...
    0x77,                          // ... padded to four
    0x00, 0x03, 0x21, 0x2F,        // absolute: 2, 1, 2 in two bytes; the last falls off the right edge
    0x00, 0x01,                    // end of bitmap
});
const std::vector<Rgb24> kRle4Picture = {
    kP3, kP0, kP1, kP2, kP3, kP2,    kP1,  //
    kP1, kP2, kP1, kP2, kP1, kBlack, kP3,  //
};

TEST(BmpDecoder, ReadsRunLengthEncodingWithEveryEscape) {
  EXPECT_TRUE(PictureIs(Decode(RleBmp(1, 6, 4, kRle8Stream).Build()), 6, 4, kRle8Picture));
  EXPECT_TRUE(PictureIs(Decode(RleBmp(2, 7, 2, kRle4Stream).Build()), 7, 2, kRle4Picture));

  // Run-length pictures are bottom-up only.
  EXPECT_TRUE(Refuses(RleBmp(1, 6, -4, kRle8Stream).Build()));
  EXPECT_TRUE(Refuses(RleBmp(2, 7, -2, kRle4Stream).Build()));
  // The wrong depth for the compression.
  TestBmp wrong = RleBmp(1, 6, 4, kRle8Stream);
  wrong.bitsPerPixel = 4;
  EXPECT_TRUE(Refuses(wrong.Build()));
  wrong = RleBmp(2, 7, 2, kRle4Stream);
  wrong.bitsPerPixel = 8;
  EXPECT_TRUE(Refuses(wrong.Build()));

  // A stream without end markers, and one that ends inside an absolute run:
  // what was drawn stays, the rest is black.
  EXPECT_TRUE(PictureIs(Decode(RleBmp(1, 4, 2, Stream({0x04, 0x01})).Build()), 4, 2,
                        {kBlack, kBlack, kBlack, kBlack, kP1, kP1, kP1, kP1}));
  EXPECT_TRUE(PictureIs(Decode(RleBmp(1, 4, 2, Stream({0x00, 0x04, 0x02, 0x03})).Build()), 4, 2,
                        {kBlack, kBlack, kBlack, kBlack, kP2, kP3, kBlack, kBlack}));
  EXPECT_TRUE(PictureIs(Decode(RleBmp(2, 4, 1, Stream({0x00, 0x04, 0x23})).Build()), 4, 1,
                        {kP2, kP3, kBlack, kBlack}));
  // A delta whose second byte is missing ends the stream.
  EXPECT_TRUE(PictureIs(Decode(RleBmp(1, 2, 1, Stream({0x01, 0x01, 0x00, 0x02, 0x01})).Build()), 2, 1,
                        {kP1, kBlack}));
}

TEST(BmpDecoder, ClipsRunsAndDeltasThatLeaveThePicture) {
  const std::string stream = Stream({
      0xFF, 0x01,                          // run of 255 in a row of 4
      0x00, 0x02, 0xFF, 0x00,              // delta far to the right
      0x02, 0x02,                          // run entirely off the row
      0x00, 0x03, 0x02, 0x02, 0x02, 0x00,  // absolute run off the row
      0x00, 0x00,                          // end of line
      0x00, 0x06, 0x03, 0x03, 0x03, 0x03, 0x03, 0x03,  // absolute 6 in a row of 4
      0x00, 0x02, 0x00, 0xFF,              // delta far above the picture
      0x04, 0x02,                          // nothing left to draw on
      0x00, 0x00, 0x04, 0x02,
  });
  EXPECT_TRUE(PictureIs(Decode(RleBmp(1, 4, 2, stream).Build()), 4, 2, {kP3, kP3, kP3, kP3, kP1, kP1, kP1, kP1}));

  const std::string stream4 = Stream({
      0xFF, 0x12,                                // run of 255 alternating nibbles in a row of 3
      0x00, 0x02, 0xFF, 0x00,                    // delta far to the right
      0x02, 0x33,                                // run off the row
      0x00, 0x00,                                // end of line
      0x00, 0x09, 0x33, 0x33, 0x33, 0x33, 0x30,  // absolute 9 nibbles in a row of 3 ...
      0x00,                                      // ... five bytes padded to six
      0x00, 0x02, 0xFF, 0xFF,                    // delta far above and to the right
      0x02, 0x11,                                // nothing left to draw on
  });
  EXPECT_TRUE(PictureIs(Decode(RleBmp(2, 3, 2, stream4).Build()), 3, 2, {kP3, kP3, kP3, kP1, kP2, kP1}));

  // Indices past the four-colour palette are black.
  EXPECT_TRUE(PictureIs(Decode(RleBmp(1, 3, 1, Stream({0x01, 0x09, 0x00, 0x03, 0x02, 0xFF, 0x04, 0x00})).Build()),
                        3, 1, {kBlack, kP2, kBlack}));
}

// ---- Pixel offsets and palettes ----------------------------------------------

TEST(BmpDecoder, CopesWithLyingPixelOffsetsAndPaletteSizes) {
  TestBmp s;
  s.width = 3;
  s.bitsPerPixel = 8;
  s.coloursUsed = 2;
  s.palette = {kP1, kP2};
  s.pixels = Row({1, 0, 1});
  const std::vector<Rgb24> expected = {kP2, kP1, kP2};
  // Zero, or an offset into the headers: the data follow the palette.
  for (std::uint32_t offset : {0u, 1u, 14u, 53u}) {
    SCOPED_TRACE(offset);
    s.pixelOffset = offset;
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, expected));
  }
  // Past the end, or too near it.
  for (std::uint32_t offset : {14u + 40u + 8u + 2u, 1000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(offset);
    s.pixelOffset = offset;
    EXPECT_TRUE(Refuses(s.Build()));
  }
  // A gap between palette and data is honoured.
  s.pixelOffset.reset();
  s.gap = "\x01\x01\x01\x01\x01\x01";
  EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, expected));
  s.gap.clear();

  // The fallback offset skips the masks of a 40-byte bit-field header too.
  TestBmp masks;
  masks.width = 2;
  masks.bitsPerPixel = 16;
  masks.compression = 3;
  masks.trailingMasks = {0xF800, 0x07E0, 0x001F};
  masks.pixels = Words16({0xF800, 0x001F});
  masks.pixelOffset = 0;
  EXPECT_TRUE(PictureIs(Decode(masks.Build()), 2, 1, {kRed5, kBlue5}));
  masks.compression = 6;  // four masks
  masks.trailingMasks = {0xF800, 0x07E0, 0x001F, 0};
  EXPECT_TRUE(PictureIs(Decode(masks.Build()), 2, 1, {kRed5, kBlue5}));

  // A huge colour count is capped by 256 and by the bytes before the pixel data.
  s.coloursUsed = 0xFFFFFFFF;
  s.pixels = Row({1, 0, 2});
  EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, {kP2, kP1, kBlack}));
  s.coloursUsed = 300;
  s.palette = Palette256();
  s.palette.resize(300, kP3);  // 44 entries more than an 8-bit index can reach
  s.pixels = Row({255, 0, 128});
  EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, {Entry(255), Entry(0), Entry(128)}));
  // No colour count and a short palette: 2^8 entries claimed, two present.
  s.coloursUsed = 0;
  s.palette = {kP1, kP2};
  s.pixels = Row({1, 200, 0});
  EXPECT_TRUE(PictureIs(Decode(s.Build()), 3, 1, {kP2, kBlack, kP1}));
  // A palette shorter than its colour count, before run-length data.
  TestBmp rle = RleBmp(1, 2, 1, "");
  rle.palette = {kP1};
  rle.coloursUsed = 4;
  rle.pixels = Stream({0x02, 0x00});
  EXPECT_TRUE(PictureIs(Decode(rle.Build()), 2, 1, {kP1, kP1}));
}

TEST(BmpDecoder, SurvivesZeroAndOddMasks) {
  {  // no mask at all: black, no crash
    TestBmp s;
    s.width = 2;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.trailingMasks = {0, 0, 0};
    s.pixels = Words32({0xFFFFFFFF, 0x12345678});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {kBlack, kBlack}));
  }
  {  // red mask with a hole: 0xF0F0 -> value range 0..0xF0F
    // 0x00F0 -> 0x00F: (15 * 255 + 1927) / 3855 = 1; 0xF000 -> 0xF00: (3840 * 255 + 1927) / 3855 = 254
    // blue: four bits to the nearest 5-bit value, 7 of 15 -> (7 * 31 + 7) / 15 = 14 -> 112, and
    // 8 of 15 -> (8 * 31 + 7) / 15 = 17 -> 136 (cut down instead of rounded it would be 16)
    TestBmp s;
    s.width = 4;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.trailingMasks = {0x0000F0F0, 0, 0x0F000000};
    s.pixels = Words32({0x0000F0F0, 0x000000F0, 0x0700F000, 0x08000000});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 4, 1,
                          {Rgb24{255, 0, 0}, Rgb24{1, 0, 0}, Rgb24{254, 0, 112}, Rgb24{0, 0, 136}}));
  }
  {  // 16-bit pixels with masks reaching past bit 15, and a one-bit mask (1 -> 31 -> 248)
    TestBmp s;
    s.width = 2;
    s.bitsPerPixel = 16;
    s.compression = 3;
    s.trailingMasks = {0xFFFF0000, 0xFFFFFFFF, 0x00000001};
    s.pixels = Words16({0xFFFF, 0x0002});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {kBlue5, kBlack}));
  }
  {  // an alpha mask equal to a colour mask: still bounded, alpha rule applies
    TestBmp s;
    s.width = 2;
    s.bitsPerPixel = 32;
    s.compression = 6;
    s.trailingMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x000000FF};
    s.pixels = Words32({0x00112233, 0x00112299});
    EXPECT_TRUE(PictureIs(Decode(s.Build()), 2, 1, {kKey, Rgb24{0x11, 0x22, 0x99}}));
  }
}

// ---- Malformed input ------------------------------------------------------------

TEST(BmpDecoder, RefusesWhatItCannotRead) {
  TestBmp good;
  good.width = 2;
  good.pixels = Row({1, 2, 3, 4, 5, 6});
  ASSERT_TRUE(PictureIs(Decode(good.Build()), 2, 1, {Rgb24{3, 2, 1}, Rgb24{6, 5, 4}}));

  EXPECT_TRUE(Refuses(""));
  EXPECT_TRUE(Refuses("BM"));
  std::string notBm = good.Build();
  notBm[1] = 'A';
  EXPECT_TRUE(Refuses(notBm));

  for (std::uint32_t size : {0u, 16u, 20u, 41u, 100u, 125u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    TestBmp s = good;
    s.headerSize = size;
    EXPECT_TRUE(Refuses(s.Build()));
  }
  // Compressions: JPEG and PNG inside, OS/2 RLE24 / unknown codes, and
  // bit fields or run lengths at depths they do not apply to.
  struct Case {
    unsigned bits;
    std::uint32_t compression;
  };
  for (Case c : {Case{24, 4}, Case{24, 5}, Case{32, 7}, Case{32, 11}, Case{32, 0xFFFFFFFF}, Case{24, 3}, Case{8, 3},
                 Case{24, 1}, Case{24, 2}, Case{16, 1}, Case{1, 2}}) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, compression " << c.compression);
    TestBmp s = good;
    s.bitsPerPixel = c.bits;
    s.compression = c.compression;
    s.trailingMasks = {0xFF0000, 0xFF00, 0xFF};
    s.pixels = std::string(64, '\x11');
    EXPECT_TRUE(Refuses(s.Build()));
  }
  for (unsigned bits : {0u, 3u, 5u, 7u, 12u, 48u, 64u}) {
    SCOPED_TRACE(bits);
    TestBmp s = good;
    s.bitsPerPixel = bits;
    s.pixels = std::string(64, '\x11');
    EXPECT_TRUE(Refuses(s.Build()));
  }
  {  // 16 and 32 bits do not exist with the OS/2 1.x header
    TestBmp s = good;
    s.headerSize = 12;
    s.bitsPerPixel = 16;
    EXPECT_TRUE(Refuses(s.Build()));
    s.bitsPerPixel = 32;
    s.pixels = std::string(8, '\x11');
    EXPECT_TRUE(Refuses(s.Build()));
  }
  {  // masks promised after the header but missing
    TestBmp s;
    s.width = 1;
    s.bitsPerPixel = 16;
    s.compression = 3;
    const std::string full = [&] {
      s.trailingMasks = {0xF800, 0x07E0, 0x001F};
      s.pixels = Words16({0xFFFF}) + std::string(2, '\0');
      return s.Build();
    }();
    EXPECT_TRUE(Refuses(full.substr(0, 14 + 40 + 11)));
  }
  {  // uncompressed data one byte short of the last pixel
    TestBmp s = good;
    s.height = 2;
    s.pixels = Row({1, 2, 3, 4, 5, 6}) + std::string("\x01\x02\x03\x04\x05", 5);
    EXPECT_TRUE(Refuses(s.Build()));
  }
}

TEST(BmpDecoder, RefusesImpossibleSizesBeforeAllocating) {
  // Run-length files need no pixel bytes, so only the size limits can refuse these.
  struct Size {
    std::int32_t w, h;
  };
  for (Size d : {Size{0, 1}, Size{1, 0}, Size{-1, 1}, Size{0x7FFFFFFF, 1}, Size{1, 0x7FFFFFFF},
                 Size{1, static_cast<std::int32_t>(0x80000000u)}, Size{16385, 1}, Size{1, 16385},
                 Size{1, -16385}, Size{10000, 10000}, Size{16384, 4097}, Size{0x7FFFFFFF, 0x7FFFFFFF},
                 Size{static_cast<std::int32_t>(0x80000000u), static_cast<std::int32_t>(0x80000000u)}}) {
    SCOPED_TRACE(testing::Message() << d.w << " x " << d.h);
    EXPECT_TRUE(Refuses(RleBmp(1, d.w, d.h, Stream({0x01, 0x01, 0x00, 0x01})).Build()));
    TestBmp raw;
    raw.width = d.w;
    raw.height = d.h;
    raw.bitsPerPixel = 1;
    raw.palette = {kP0, kP1};
    raw.pixels = std::string(4096, '\xFF');
    EXPECT_TRUE(Refuses(raw.Build()));
  }
  {  // the OS/2 1.x header's 16-bit sizes
    TestBmp s;
    s.headerSize = 12;
    s.width = 0;
    s.height = 1;
    s.pixels = std::string(8, '\x11');
    EXPECT_TRUE(Refuses(s.Build()));
    s.width = 1;
    s.height = 0;
    EXPECT_TRUE(Refuses(s.Build()));
    s.width = 0xFFFF;
    s.height = 1;
    EXPECT_TRUE(Refuses(s.Build()));
  }
  // The largest side still allowed.
  Picture wide = Decode(RleBmp(1, 16384, 1, Stream({0x02, 0x01, 0x00, 0x01})).Build());
  ASSERT_EQ(wide.width, 16384);
  ASSERT_EQ(wide.height, 1);
  EXPECT_EQ(wide.at(1, 0), kP1);
  EXPECT_EQ(wide.at(2, 0), kBlack);
  EXPECT_EQ(wide.at(16383, 0), kBlack);
  TestBmp tall;
  tall.width = 1;
  tall.height = -16384;
  tall.bitsPerPixel = 8;
  tall.palette = {kP0, kP1};
  tall.coloursUsed = 2;
  for (int i = 0; i < 16384; ++i) tall.pixels += Row({i == 16383 ? 1u : 0u});
  const Picture t = Decode(tall.Build());
  ASSERT_EQ(t.height, 16384);
  EXPECT_EQ(t.at(0, 0), kP0);
  EXPECT_EQ(t.at(0, 16383), kP1);
}

struct TruncationCase {
  std::string name;
  std::string file;
  std::size_t shortestReadable;  // prefixes from this length on decode
  int width, height;
  std::vector<Rgb24> expected;
  bool partialAllowed;  // run-length: shorter data leave pixels black
};

std::vector<TruncationCase> TruncationCases() {
  std::vector<TruncationCase> cases;
  {
    TestBmp s;
    s.width = 3;
    s.height = 2;
    s.pixels = Row({1, 2, 3, 4, 5, 6, 7, 8, 9}) + Row({10, 11, 12, 13, 14, 15, 16, 17, 18});
    const std::string f = s.Build();
    cases.push_back({"24-bit", f, f.size() - 3, 3, 2,
                     {Rgb24{12, 11, 10}, Rgb24{15, 14, 13}, Rgb24{18, 17, 16}, Rgb24{3, 2, 1}, Rgb24{6, 5, 4},
                      Rgb24{9, 8, 7}},
                     false});
  }
  {
    TestBmp s;
    s.width = 3;
    s.height = 2;
    s.bitsPerPixel = 8;
    s.palette = {kP0, kP1, kP2, kP3};
    s.coloursUsed = 4;
    s.pixels = Row({0, 1, 2}) + Row({3, 2, 1});
    const std::string f = s.Build();
    cases.push_back({"8-bit", f, f.size() - 1, 3, 2, {kP3, kP2, kP1, kP0, kP1, kP2}, false});
  }
  {
    TestBmp s;
    s.headerSize = 12;
    s.width = 2;
    s.bitsPerPixel = 4;
    s.palette = {kP0, kP1, kP2, kP3};
    s.pixels = Row({0x31});
    const std::string f = s.Build();
    cases.push_back({"OS/2 4-bit", f, f.size() - 3, 2, 1, {kP3, kP1}, false});
  }
  {
    TestBmp s;
    s.width = 3;
    s.bitsPerPixel = 16;
    s.compression = 3;
    s.trailingMasks = {0xF800, 0x07E0, 0x001F};
    s.pixels = Words16({0xF800, 0x07E0, 0x001F}) + std::string(2, '\0');
    const std::string f = s.Build();
    cases.push_back({"5-6-5", f, f.size() - 2, 3, 1, {kRed5, kGreen, kBlue5}, false});
  }
  {
    TestBmp s;
    s.headerSize = 124;
    s.width = 2;
    s.bitsPerPixel = 32;
    s.compression = 3;
    s.headerMasks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    s.pixels = Words32({0x10FFFFFF, 0xFF00FF00});
    const std::string f = s.Build();
    cases.push_back({"32-bit alpha", f, f.size(), 2, 1, {kKey, kGreen}, false});
  }
  {
    const std::string f = RleBmp(1, 6, 4, kRle8Stream).Build();
    cases.push_back({"RLE8", f, f.size() - kRle8Stream.size() + 1, 6, 4, kRle8Picture, true});
  }
  {
    const std::string f = RleBmp(2, 7, 2, kRle4Stream).Build();
    cases.push_back({"RLE4", f, f.size() - kRle4Stream.size() + 1, 7, 2, kRle4Picture, true});
  }
  // Palette depths at widths that are no multiple of 8 or 32: the last
  // stored row needs its bytes up to its last pixel, and not its padding.
  for (const unsigned bits : {1u, 2u, 4u}) {
    for (const int width : {1, 3, 9, 33}) {
      TestBmp s;
      s.width = width;
      s.height = 2;
      s.bitsPerPixel = bits;
      s.palette = {kP0, kP1, kP2, kP3};
      s.coloursUsed = bits == 1 ? 2 : 4;
      std::vector<Rgb24> expected(std::size_t(width) * 2);
      const std::size_t used = (std::size_t(width) * bits + 7) / 8, stride = (used + 3) / 4 * 4;
      for (int row = 0; row < 2; ++row) {  // stored bottom row first
        std::string stored(stride, '\xEE');
        std::fill(stored.begin(), stored.begin() + std::ptrdiff_t(used), '\0');
        for (int x = 0; x < width; ++x) {
          const unsigned index = unsigned(x + row) % (bits == 1 ? 2u : 3u) + (bits == 1 ? 0u : 1u);
          const std::size_t bit = std::size_t(x) * bits;
          stored[bit / 8] = static_cast<char>(static_cast<unsigned char>(stored[bit / 8]) | index << (8 - bits - bit % 8));
          expected[std::size_t(1 - row) * std::size_t(width) + std::size_t(x)] = s.palette[index];
        }
        s.pixels += stored;
      }
      const std::string f = s.Build();
      cases.push_back({std::to_string(bits) + "-bit, " + std::to_string(width) + " wide", f, f.size() - (stride - used),
                       width, 2, expected, false});
    }
  }
  return cases;
}

TEST(BmpDecoder, EveryTruncationIsRefusedOrDecodedSafely) {
  for (const TruncationCase& c : TruncationCases()) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(PictureIs(Decode(c.file), c.width, c.height, c.expected));
    for (std::size_t length = 0; length < c.file.size(); ++length) {
      SCOPED_TRACE(length);
      const Picture before(1, 1, Rgb24{9, 9, 9});
      Picture p = before;
      const bool ok = DecodeExact(c.file.substr(0, length), p);
      ASSERT_EQ(ok, length >= c.shortestReadable);
      if (!ok) {
        ASSERT_EQ(p, before);
        continue;
      }
      ASSERT_EQ(p.width, c.width);
      ASSERT_EQ(p.height, c.height);
      ASSERT_EQ(p.pixels.size(), c.expected.size());
      for (std::size_t i = 0; i < p.pixels.size(); ++i) {
        if (c.partialAllowed) {
          ASSERT_TRUE(p.pixels[i] == c.expected[i] || p.pixels[i] == kBlack) << i;
        } else {
          ASSERT_EQ(p.pixels[i], c.expected[i]) << i;
        }
      }
    }
  }
}

TEST(BmpDecoder, SurvivesCorruptedBytes) {
  // Every single byte of a few files set to each of some troublesome values:
  // the result must be a refusal or a consistent picture.
  for (const TruncationCase& c : TruncationCases()) {
    SCOPED_TRACE(c.name);
    for (std::size_t i = 0; i < c.file.size(); ++i) {
      for (unsigned v : {0x00u, 0x01u, 0x02u, 0x7Fu, 0x80u, 0xFEu, 0xFFu}) {
        std::string f = c.file;
        f[i] = static_cast<char>(v);
        Picture p;
        if (DecodeExact(f, p)) {
          ASSERT_GT(p.width, 0);
          ASSERT_GT(p.height, 0);
          ASSERT_LE(p.width, kMaxImageDimension);
          ASSERT_LE(p.height, kMaxImageDimension);
          ASSERT_EQ(p.pixels.size(), std::size_t(p.width) * std::size_t(p.height));
        } else {
          ASSERT_TRUE(p.empty());
        }
      }
    }
  }
}

// ---- Files written by another program ----------------------------------------

std::string ReadFixture(const char* name) {
  std::ifstream in(std::string(SKIN_TEST_DATA) + "/bmp/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(BmpDecoder, ReadsFilesOfAnotherWriter) {
  // Red, green, blue over white, magenta, black (see data/bmp/README.md).
  const std::vector<Rgb24> six = {kRed, kGreen, kBlue, kWhite, kMagenta, kBlack};
  for (const char* name : {"rgb24_info40.bmp", "rgb24_v5.bmp", "rgb24_os2.bmp", "pal4.bmp", "rle8.bmp"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(PictureIs(Decode(ReadFixture(name)), 3, 2, six));
  }
  // 5-6-5: red and blue in the console's 5-bit steps, green scaled from six bits.
  EXPECT_TRUE(PictureIs(Decode(ReadFixture("rgb565_v5.bmp")), 3, 2,
                        {kRed5, kGreen, kBlue5, Rgb24{248, 255, 248}, Rgb24{248, 0, 248}, kBlack}));
  EXPECT_TRUE(PictureIs(Decode(ReadFixture("pal1.bmp")), 3, 2, {kBlack, kWhite, kBlack, kWhite, kBlack, kBlack}));
  // Alpha 255, 127, 128 over 0, 200, 255.
  EXPECT_TRUE(
      PictureIs(Decode(ReadFixture("argb32_v5.bmp")), 3, 2, {kRed, kKey, kBlue, kKey, kMagenta, kBlack}));
  // Pixel i is (12 i, 255 - 12 i, 5 i).
  std::vector<Rgb24> ramp;
  for (int i = 0; i < 20; ++i) {
    ramp.push_back(Rgb24{static_cast<std::uint8_t>(12 * i), static_cast<std::uint8_t>(255 - 12 * i),
                         static_cast<std::uint8_t>(5 * i)});
  }
  EXPECT_TRUE(PictureIs(Decode(ReadFixture("pal8.bmp")), 20, 1, ramp));
}

}  // namespace
