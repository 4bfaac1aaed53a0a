// The pictures made of the platform decoders' rows, against what the codec
// libraries' own transformations make of the same files: a PNG of every
// colour type, depth, transparency and interlacing decodes to the pixels
// (and, for an import, the alpha) that libpng's expand, strip_16,
// gray_to_rgb and add_alpha give; a CMYK JPEG is inverted exactly when it
// comes from Adobe's programs; a sink refuses what it has no room for before
// a row comes.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "images/decode.h"
#include "images/jpeg_codec.h"
#include "images/png_codec.h"
#include "platform/picture_codecs.h"

namespace {

struct PngKind {
  const char* what;
  int colourType;
  int bitDepth;
  int width = 7, height = 5;
  bool interlaced = false;
  int paletteSize = 0;     // palette: entries written
  int paletteAlphas = -1;  // palette: tRNS entries, -1 for no tRNS
  int transparent = -1;    // grey and RGB: tRNS's value for each channel, -1 for no tRNS
};

int Channels(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
  }
  return 4;
}

void AppendTo(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void NoFlush(png_structp) {}

// `png` with a tRNS chunk holding `value` for each of `channels` samples put
// before its first IDAT: libpng writes no value beyond the file's depth, but
// a file may hold one.
std::string WithTransparentValue(const std::string& png, int channels, unsigned value) {
  std::string chunk = "tRNS";
  for (int c = 0; c < channels; ++c) chunk += {char(value >> 8), char(value & 255)};
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size()));
  std::string whole = {0, 0, 0, char(chunk.size() - 4)};
  whole += chunk;
  for (int s = 24; s >= 0; s -= 8) whole += char((crc >> s) & 255);
  std::string out = png;
  out.insert(png.find("IDAT") - 4, whole);
  return out;
}

struct PngContent {
  std::vector<std::vector<png_byte>> rows;
  std::vector<png_color> palette;
  std::vector<png_byte> alphas;
  png_color_16 value{};
  bool beyondDepth = false;  // tRNS's value is more than the depth holds
};

// Random samples for `kind` (a fixed seed). A fifth of the samples take the
// transparent value (cut to the file's depth), so that tRNS matches some
// pixels; palette indices run past the palette's end.
PngContent ContentOf(const PngKind& kind) {
  PngContent c;
  std::mt19937 random(static_cast<unsigned>(kind.colourType * 100 + kind.bitDepth + kind.width));
  const int channels = Channels(kind.colourType);
  const unsigned maxSample = kind.bitDepth == 16 ? 0xFFFF : (1u << kind.bitDepth) - 1;
  const std::size_t rowBytes = (std::size_t(kind.width) * channels * kind.bitDepth + 7) / 8;
  c.rows.assign(std::size_t(kind.height), std::vector<png_byte>(rowBytes, 0));
  for (auto& row : c.rows) {
    for (int x = 0; x < kind.width; ++x) {
      const bool clear = kind.transparent >= 0 && random() % 5 == 0;
      for (int ch = 0; ch < channels; ++ch) {
        unsigned v = clear ? unsigned(kind.transparent) & maxSample : random() % (maxSample + 1);
        if (kind.colourType == PNG_COLOR_TYPE_PALETTE) v = random() % std::min(maxSample + 1, unsigned(kind.paletteSize) + 3);
        const std::size_t i = std::size_t(x) * channels + ch;
        if (kind.bitDepth == 16) {
          row[2 * i] = png_byte(v >> 8), row[2 * i + 1] = png_byte(v & 255);
        } else {
          const std::size_t bit = i * kind.bitDepth;
          row[bit / 8] |= png_byte(v << (8 - kind.bitDepth - bit % 8));
        }
      }
    }
  }
  for (int i = 0; i < kind.paletteSize; ++i) c.palette.push_back({png_byte(random()), png_byte(random()), png_byte(random())});
  for (int i = 0; i < kind.paletteAlphas; ++i) c.alphas.push_back(png_byte(i * 97 % 256));
  c.value.gray = c.value.red = c.value.green = c.value.blue = png_uint_16(kind.transparent);
  c.beyondDepth = kind.transparent > int(maxSample);
  return c;
}

// A PNG of `kind`, written by libpng itself.
std::string WritePng(const PngKind& kind) {
  PngContent c = ContentOf(kind);
  std::vector<png_bytep> pointers;
  for (auto& row : c.rows) pointers.push_back(row.data());
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendTo, NoFlush);
  // Indices past the palette are written as they are: the reader decides.
  png_set_check_for_invalid_index(png, 0);
  png_set_IHDR(png, info, png_uint_32(kind.width), png_uint_32(kind.height), kind.bitDepth, kind.colourType,
               kind.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  if (!c.palette.empty()) png_set_PLTE(png, info, c.palette.data(), int(c.palette.size()));
  if (kind.paletteAlphas > 0) png_set_tRNS(png, info, c.alphas.data(), kind.paletteAlphas, nullptr);
  if (kind.transparent >= 0 && !c.beyondDepth) png_set_tRNS(png, info, nullptr, 0, &c.value);
  png_write_info(png, info);
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return c.beyondDepth ? WithTransparentValue(out, Channels(kind.colourType), unsigned(kind.transparent)) : out;
}

struct Reader {
  std::string_view bytes;
  std::size_t at = 0;
};
void ReadFrom(png_structp png, png_bytep out, png_size_t length) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (length > r->bytes.size() - r->at) png_error(png, "truncated");
  std::memcpy(out, r->bytes.data() + r->at, length);
  r->at += length;
}

// The file as libpng's own transformations give it: 8-bit RGBA.
std::vector<png_byte> LibpngRgba(std::string_view bytes) {
  std::vector<png_byte> rgba;
  std::vector<png_bytep> rows;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  Reader reader{bytes};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return {};
  }
  png_set_read_fn(png, &reader, ReadFrom);
  png_read_info(png, info);
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  rgba.resize(std::size_t(width) * height * 4);
  for (png_uint_32 y = 0; y < height; ++y) rows.push_back(rgba.data() + std::size_t(y) * width * 4);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return rgba;
}

std::vector<PngKind> EveryKindOfPng() {
  std::vector<PngKind> kinds = {
      {"grey 1-bit", PNG_COLOR_TYPE_GRAY, 1},
      {"grey 2-bit", PNG_COLOR_TYPE_GRAY, 2},
      {"grey 4-bit", PNG_COLOR_TYPE_GRAY, 4},
      {"grey 8-bit", PNG_COLOR_TYPE_GRAY, 8},
      {"grey 16-bit", PNG_COLOR_TYPE_GRAY, 16},
      {"grey 1-bit, tRNS 1", PNG_COLOR_TYPE_GRAY, 1, 9, 4, false, 0, -1, 1},
      {"grey 2-bit, tRNS 6 cut to 2", PNG_COLOR_TYPE_GRAY, 2, 7, 5, false, 0, -1, 6},
      {"grey 4-bit, tRNS 9", PNG_COLOR_TYPE_GRAY, 4, 7, 5, false, 0, -1, 9},
      {"grey 8-bit, tRNS 200", PNG_COLOR_TYPE_GRAY, 8, 7, 5, false, 0, -1, 200},
      {"grey 8-bit, tRNS 0x1C8 cut to 0xC8", PNG_COLOR_TYPE_GRAY, 8, 7, 5, false, 0, -1, 0x1C8},
      {"grey 16-bit, tRNS 0x1234", PNG_COLOR_TYPE_GRAY, 16, 7, 5, false, 0, -1, 0x1234},
      {"RGB 8-bit", PNG_COLOR_TYPE_RGB, 8},
      {"RGB 16-bit", PNG_COLOR_TYPE_RGB, 16},
      {"RGB 8-bit, tRNS 17", PNG_COLOR_TYPE_RGB, 8, 7, 5, false, 0, -1, 17},
      {"RGB 16-bit, tRNS 0x0102", PNG_COLOR_TYPE_RGB, 16, 7, 5, false, 0, -1, 0x0102},
      {"palette 1-bit", PNG_COLOR_TYPE_PALETTE, 1, 11, 3, false, 2},
      {"palette 2-bit, tRNS of 2", PNG_COLOR_TYPE_PALETTE, 2, 7, 5, false, 4, 2},
      {"palette 4-bit of 9 entries, tRNS of 5", PNG_COLOR_TYPE_PALETTE, 4, 7, 5, false, 9, 5},
      {"palette 8-bit of 200 entries, tRNS of all", PNG_COLOR_TYPE_PALETTE, 8, 7, 5, false, 200, 200},
      {"grey and alpha 8-bit", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
      {"grey and alpha 16-bit", PNG_COLOR_TYPE_GRAY_ALPHA, 16},
      {"RGBA 8-bit", PNG_COLOR_TYPE_RGB_ALPHA, 8},
      {"RGBA 16-bit", PNG_COLOR_TYPE_RGB_ALPHA, 16},
      {"RGBA 8-bit, one pixel", PNG_COLOR_TYPE_RGB_ALPHA, 8, 1, 1},
      {"RGB 8-bit, 19 x 17", PNG_COLOR_TYPE_RGB, 8, 19, 17},
      {"RGB 8-bit, 2 x 9", PNG_COLOR_TYPE_RGB, 8, 2, 9},
  };
  // Every kind again, interlaced.
  const std::size_t plain = kinds.size();
  for (std::size_t i = 0; i < plain; ++i) {
    PngKind s = kinds[i];
    s.interlaced = true;
    kinds.push_back(s);
  }
  return kinds;
}

TEST(PictureCodecs, PngOfEveryLayoutDecodesAsLibpngExpandsIt) {
  for (const PngKind& kind : EveryKindOfPng()) {
    const std::string what = std::string(kind.what) + (kind.interlaced ? ", interlaced" : "");
    const std::string bytes = WritePng(kind);
    ASSERT_FALSE(bytes.empty()) << what;
    const std::vector<png_byte> rgba = LibpngRgba(bytes);
    ASSERT_EQ(rgba.size(), std::size_t(kind.width) * kind.height * 4) << what;

    // Opening: transparent pixels (alpha below 128) are the key green.
    Picture keyed;
    ASSERT_TRUE(DecodePng(bytes, keyed)) << what;
    ASSERT_EQ(keyed.width, kind.width) << what;
    ASSERT_EQ(keyed.height, kind.height) << what;
    // An import: every colour kept, the alpha beside it when any is not opaque.
    Picture colours;
    std::vector<std::uint8_t> alpha;
    ASSERT_TRUE(DecodePng(bytes, colours, alpha)) << what;
    bool anyClear = false;
    for (std::size_t i = 0; i < keyed.pixels.size(); ++i) {
      const png_byte* p = &rgba[4 * i];
      const Rgb24 colour{p[0], p[1], p[2]};
      EXPECT_EQ(keyed.pixels[i], p[3] < 128 ? kKeyGreen : colour) << what << ", pixel " << i;
      EXPECT_EQ(colours.pixels[i], colour) << what << ", pixel " << i;
      anyClear = anyClear || p[3] != 255;
    }
    if (!anyClear) {
      EXPECT_TRUE(alpha.empty()) << what;
      continue;
    }
    ASSERT_EQ(alpha.size(), keyed.pixels.size()) << what;
    for (std::size_t i = 0; i < alpha.size(); ++i) EXPECT_EQ(alpha[i], rgba[4 * i + 3]) << what << ", pixel " << i;
  }
}

// The kinds above really hold transparency where they claim to: otherwise
// the comparison would not reach the tRNS rules.
TEST(PictureCodecs, TransparencyOfTheTestFilesIsThere) {
  for (const PngKind& kind : EveryKindOfPng()) {
    if (kind.transparent < 0 && kind.paletteAlphas < 0) continue;
    const std::vector<png_byte> rgba = LibpngRgba(WritePng(kind));
    bool clear = false, opaque = false;
    for (std::size_t i = 3; i < rgba.size(); i += 4) (rgba[i] < 128 ? clear : opaque) = true;
    EXPECT_TRUE(clear && opaque) << kind.what;
  }
}

// A sink that counts what it is given and refuses pictures wider than `widest`.
class CountingSink final : public RowSink {
 public:
  explicit CountingSink(std::uint32_t widest) : widest_(widest) {}
  bool Begin(const RowLayout& given) override {
    ++begun;
    layout = given;
    seen.assign(std::size_t(given.width) * given.height, 0);
    return given.width <= widest_;
  }
  void Row(std::uint32_t y, std::uint32_t x, std::uint32_t step, std::uint32_t count, const std::uint8_t*) override {
    for (std::uint32_t i = 0; i < count; ++i) ++seen.at(std::size_t(y) * layout.width + x + i * step);
    ys.push_back(y);
    ++rows;
  }
  bool EachPixelOnce() const { return std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }); }
  int begun = 0;
  std::uint32_t rows = 0;  // calls of Row
  std::vector<int> seen;   // by pixel, how often it came
  std::vector<std::uint32_t> ys;  // the row of each call
  RowLayout layout;

 private:
  std::uint32_t widest_;
};

TEST(PictureCodecs, ASinkSeesTheSizeFirstAndMayRefuseIt) {
  for (const bool interlaced : {false, true}) {
    PngKind kind{"RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, 12, 9, interlaced};
    const std::string png = WritePng(kind);
    // Wide enough: every pixel once; a plain picture in 9 whole rows, an
    // interlaced one in the rows of its seven passes: 2 + 2 + 1 + 3 + 2 + 5 + 4.
    CountingSink fits(12);
    EXPECT_EQ(DecodePngRows(png, fits), CodecStatus::Ok);
    EXPECT_TRUE(fits.EachPixelOnce());
    EXPECT_EQ(fits.rows, interlaced ? 19u : 9u);
    if (!interlaced) {
      EXPECT_EQ(fits.ys, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    }
    EXPECT_EQ(fits.layout.RowBytes(), 48u);
    // One pixel short: refused before any row.
    CountingSink refuses(11);
    EXPECT_EQ(DecodePngRows(png, refuses), CodecStatus::Refused);
    EXPECT_EQ(refuses.begun, 1);
    EXPECT_EQ(refuses.rows, 0u);
  }
  Picture flat(16, 8, {10, 20, 30});
  std::string jpeg;
  ASSERT_TRUE(EncodeJpeg(flat, 90, jpeg));
  CountingSink fits(16), refuses(15);
  EXPECT_EQ(DecodeJpegRows(jpeg, fits), CodecStatus::Ok);
  EXPECT_EQ(fits.rows, 8u);
  EXPECT_TRUE(fits.EachPixelOnce());
  EXPECT_EQ(fits.layout.samples, RowLayout::Samples::Rgb);
  EXPECT_EQ(DecodeJpegRows(jpeg, refuses), CodecStatus::Refused);
  EXPECT_EQ(refuses.rows, 0u);
  // Damaged bytes are no picture, and no sink is asked.
  CountingSink none(100);
  const std::string png = WritePng({"RGB", PNG_COLOR_TYPE_RGB, 8});
  EXPECT_EQ(DecodePngRows(std::string_view(png).substr(0, 30), none), CodecStatus::Damaged);
  EXPECT_EQ(DecodeJpegRows("\xFF\xD8\xFF", none), CodecStatus::Damaged);
  EXPECT_EQ(none.begun, 0);
}

// The allowance is the number of pixels the skin still has room for: a
// picture of exactly that many decodes, one of one more is OverBudget.
TEST(PictureCodecs, TheAllowanceIsKeptToThePixel) {
  const std::string png = WritePng({"RGB", PNG_COLOR_TYPE_RGB, 8, 6, 4});
  Picture flat(6, 4, {1, 2, 3});
  std::string jpeg;
  ASSERT_TRUE(EncodeJpeg(flat, 90, jpeg));
  for (const auto& [what, bytes] : {std::pair<const char*, std::string>{"PNG", png}, {"JPEG", jpeg}}) {
    Picture out;
    EXPECT_EQ(DecodeSkinImage(bytes, false, out, 24).kind, DecodeResult::Ok) << what;
    EXPECT_EQ(out.width, 6) << what;
    Picture none;
    EXPECT_EQ(DecodeSkinImage(bytes, false, none, 23).kind, DecodeResult::OverBudget) << what;
    EXPECT_TRUE(none.empty()) << what;
  }
}

// A CMYK JPEG of one flat colour, with or without the marker Adobe's
// programs write (libjpeg writes it for CMYK unless told not to).
std::string CmykJpeg(std::array<std::uint8_t, 4> cmyk, bool adobe) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = 16;
  cinfo.image_height = 16;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, JCS_CMYK);
  cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<unsigned char> row;
  for (int x = 0; x < 16; ++x) row.insert(row.end(), cmyk.begin(), cmyk.end());
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

bool Near(Rgb24 a, Rgb24 b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

TEST(PictureCodecs, CmykIsInvertedOnlyFromAdobe) {
  // Stored samples (c, m, y, k) = (40, 200, 120, 220). Plain CMYK means
  // ink: red = (255 - c) * (255 - k) / 255 = 215 * 35 / 255 = 29, green =
  // 55 * 35 / 255 = 7, blue = 135 * 35 / 255 = 18. Adobe's inverted CMYK
  // means the opposite: red = c * k / 255 = 40 * 220 / 255 = 34, green =
  // 200 * 220 / 255 = 172, blue = 120 * 220 / 255 = 103.
  const std::array<std::uint8_t, 4> samples = {40, 200, 120, 220};
  Picture plain, adobe;
  ASSERT_TRUE(DecodeJpeg(CmykJpeg(samples, false), plain));
  ASSERT_TRUE(DecodeJpeg(CmykJpeg(samples, true), adobe));
  EXPECT_TRUE(Near(plain.at(8, 8), {29, 7, 18}, 3))
      << int(plain.at(8, 8).r) << "," << int(plain.at(8, 8).g) << "," << int(plain.at(8, 8).b);
  EXPECT_TRUE(Near(adobe.at(8, 8), {34, 172, 103}, 3))
      << int(adobe.at(8, 8).r) << "," << int(adobe.at(8, 8).g) << "," << int(adobe.at(8, 8).b);
}

}  // namespace
