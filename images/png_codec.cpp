#include "images/png_codec.h"

#include <cstdint>
#include <vector>

#include "images/alpha_plane.h"
#include "platform/picture_codecs.h"

namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);

std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
  return std::uint32_t(static_cast<std::uint8_t>(b[at])) << 24 | std::uint32_t(static_cast<std::uint8_t>(b[at + 1])) << 16 |
         std::uint32_t(static_cast<std::uint8_t>(b[at + 2])) << 8 | static_cast<std::uint8_t>(b[at + 3]);
}

// The header chunk comes first in every PNG. Its size is looked at before
// the decoder reads on, so that a picture over the limits is told apart from
// a damaged file (the decoder's own refusal of it would look like any other).
DecodeResult::Kind CheckHeaderSize(std::string_view bytes, long long allowance) {
  if (bytes.size() < 24 || bytes.substr(12, 4) != "IHDR") return DecodeResult::Ok;  // the decoder will refuse it
  return CheckPictureLimits(BigEndian32(bytes, 16), BigEndian32(bytes, 20), allowance).kind;
}

// Deflate packs at most 1032 bytes into one, and the leanest PNG pixel is
// one bit: a complete file cannot hold more pixels than this per byte.
constexpr long long kPngPixelsPerByte = 1032 * 8;

// Sample `x` of a row of samples narrower than a byte, the leftmost in the
// highest bits.
unsigned PackedSample(const std::uint8_t* row, std::uint32_t x, int bits) {
  const std::uint32_t perByte = 8u / unsigned(bits);
  const unsigned shift = unsigned(8 - bits) - unsigned(bits) * (x % perByte);
  return (row[x / perByte] >> shift) & ((1u << bits) - 1u);
}

// Sample `i` of a row of 8- or 16-bit samples; 16-bit ones whole.
unsigned WideSample(const std::uint8_t* row, std::size_t i, int bits) {
  return bits == 16 ? (unsigned(row[2 * i]) << 8 | row[2 * i + 1]) : row[i];
}

// A sample as 8 bits: a narrow grey stretched to the full range (0..1 to
// 0..255, 0..3 in steps of 0x55, 0..15 in steps of 0x11), a 16-bit one cut
// to its high byte.
std::uint8_t Eight(unsigned sample, int bits) {
  switch (bits) {
    case 1: return static_cast<std::uint8_t>(sample * 0xFF);
    case 2: return static_cast<std::uint8_t>(sample * 0x55);
    case 4: return static_cast<std::uint8_t>(sample * 0x11);
    case 16: return static_cast<std::uint8_t>(sample >> 8);
  }
  return static_cast<std::uint8_t>(sample);
}

// One row as 8-bit RGBA, exactly as libpng's png_set_expand, png_set_strip_16,
// png_set_gray_to_rgb and png_set_add_alpha(0xFF, after) make it, so that
// every platform's decoder gives the same pixels: palettes looked up (an
// index past the palette is black) with their tRNS alphas; grey and RGB
// made transparent where they equal tRNS's value, compared at the file's
// depth with the value cut to that depth; samples to 8 bits; grey to RGB;
// opaque where the file has no alpha.
void ExpandRow(const RowLayout& layout, const std::uint8_t* row, std::uint32_t count, std::uint8_t* rgba) {
  const int bits = layout.bitDepth;
  const unsigned valueMask = bits == 16 ? 0xFFFFu : (1u << bits) - 1u;
  const auto transparent = [&](std::size_t channel, unsigned sample) {
    return sample == (layout.transparentValue[channel] & valueMask);
  };
  for (std::uint32_t x = 0; x < count; ++x, rgba += 4) {
    switch (layout.samples) {
      case RowLayout::Samples::Palette: {
        const unsigned index = bits < 8 ? PackedSample(row, x, bits) : row[x];
        const auto& entry = layout.palette[index];
        rgba[0] = entry[0], rgba[1] = entry[1], rgba[2] = entry[2];
        rgba[3] = int(index) < layout.paletteAlphaCount ? layout.paletteAlpha[index] : 0xFF;
        break;
      }
      case RowLayout::Samples::Grey: {
        const unsigned v = bits < 8 ? PackedSample(row, x, bits) : WideSample(row, x, bits);
        rgba[0] = rgba[1] = rgba[2] = Eight(v, bits);
        rgba[3] = layout.hasTransparentValue && transparent(0, v) ? 0 : 0xFF;
        break;
      }
      case RowLayout::Samples::GreyAlpha:
        rgba[0] = rgba[1] = rgba[2] = Eight(WideSample(row, 2 * std::size_t(x), bits), bits);
        rgba[3] = Eight(WideSample(row, 2 * std::size_t(x) + 1, bits), bits);
        break;
      case RowLayout::Samples::Rgb: {
        bool clear = layout.hasTransparentValue;
        for (std::size_t c = 0; c < 3; ++c) {
          const unsigned v = WideSample(row, 3 * std::size_t(x) + c, bits);
          rgba[c] = Eight(v, bits);
          clear = clear && transparent(c, v);
        }
        rgba[3] = clear ? 0 : 0xFF;
        break;
      }
      case RowLayout::Samples::Rgba:
        for (std::size_t c = 0; c < 4; ++c) rgba[c] = Eight(WideSample(row, 4 * std::size_t(x) + c, bits), bits);
        break;
      case RowLayout::Samples::Cmyk: break;  // no PNG holds it; refused in Begin
    }
  }
}

bool PngDepthFits(const RowLayout& layout) {
  switch (layout.samples) {
    case RowLayout::Samples::Grey: return layout.bitDepth == 1 || layout.bitDepth == 2 || layout.bitDepth == 4 ||
                                          layout.bitDepth == 8 || layout.bitDepth == 16;
    case RowLayout::Samples::Palette: return layout.bitDepth == 1 || layout.bitDepth == 2 || layout.bitDepth == 4 ||
                                             layout.bitDepth == 8;
    case RowLayout::Samples::Rgb:
    case RowLayout::Samples::GreyAlpha:
    case RowLayout::Samples::Rgba: return layout.bitDepth == 8 || layout.bitDepth == 16;
    case RowLayout::Samples::Cmyk: return false;
  }
  return false;
}

// Makes the picture of the rows a decoder hands over, once its size is
// within the limits, the allowance and what the file's bytes can hold.
class PngPicture final : public RowSink {
 public:
  PngPicture(std::size_t fileBytes, long long allowance, std::vector<std::uint8_t>* alpha)
      : fileBytes_(fileBytes), allowance_(allowance), alpha_(alpha) {}

  bool Begin(const RowLayout& layout) override {
    const long long pixels = static_cast<long long>(layout.width) * layout.height;
    verdict_ = CheckPictureLimits(layout.width, layout.height, allowance_).kind;
    if (verdict_ == DecodeResult::Ok &&
        (pixels == 0 || !BytesCanHold(fileBytes_, pixels, kPngPixelsPerByte) || !PngDepthFits(layout))) {
      verdict_ = DecodeResult::Unreadable;
    }
    if (verdict_ != DecodeResult::Ok) return false;
    layout_ = layout;
    picture = Picture(static_cast<int>(layout.width), static_cast<int>(layout.height));
    rgba_.resize(std::size_t(layout.width) * 4);
    return true;
  }

  // Keyed at once, or with its alpha kept for an import to fit first.
  void Row(std::uint32_t y, std::uint32_t x, std::uint32_t step, std::uint32_t count,
           const std::uint8_t* samples) override {
    if (y >= layout_.height || x >= layout_.width || step == 0 || count > (layout_.width - x + step - 1) / step) return;
    ExpandRow(layout_, samples, count, rgba_.data());
    const std::uint8_t* s = rgba_.data();
    Rgb24* dst = picture.row(int(y)) + x;
    if (!alpha_) {
      for (std::uint32_t i = 0; i < count; ++i, s += 4, dst += step) *dst = s[3] < 128 ? kKeyGreen : Rgb24{s[0], s[1], s[2]};
      return;
    }
    AlphaPlane alpha(*alpha_, picture.pixels.size());
    std::size_t at = std::size_t(y) * layout_.width + x;
    for (std::uint32_t i = 0; i < count; ++i, s += 4, dst += step, at += step) {
      *dst = {s[0], s[1], s[2]};
      alpha.Set(at, s[3]);
    }
  }

  DecodeResult::Kind verdict() const { return verdict_; }
  Picture picture;

 private:
  std::size_t fileBytes_;
  long long allowance_;
  std::vector<std::uint8_t>* alpha_;
  DecodeResult::Kind verdict_ = DecodeResult::Unreadable;
  RowLayout layout_;
  std::vector<std::uint8_t> rgba_;
};

DecodeResult::Kind ReadPng(std::string_view bytes, PngPicture& sink, long long allowance,
                           CodecStatus (*rows)(std::string_view, RowSink&) = DecodePngRows) {
  if (!IsPng(bytes)) return DecodeResult::Unreadable;
  if (const DecodeResult::Kind k = CheckHeaderSize(bytes, allowance); k != DecodeResult::Ok) return k;
  switch (rows(bytes, sink)) {
    case CodecStatus::Ok: return DecodeResult::Ok;
    case CodecStatus::Refused: return sink.verdict();
    case CodecStatus::TooLarge: return DecodeResult::TooLarge;
    case CodecStatus::Damaged: break;
  }
  return DecodeResult::Unreadable;
}

}  // namespace

bool IsPng(std::string_view bytes) { return bytes.substr(0, kSignature.size()) == kSignature; }

DecodeResult DecodePng(std::string_view bytes, Picture& out, long long allowance) {
  PngPicture sink(bytes.size(), allowance, nullptr);
  if (const DecodeResult::Kind k = ReadPng(bytes, sink, allowance); k != DecodeResult::Ok) return {k};
  out = std::move(sink.picture);
  return {DecodeResult::Ok};
}

DecodeResult DecodeBuiltinPng(std::string_view bytes, Picture& out) {
  PngPicture sink(bytes.size(), kMaxImagePixels, nullptr);
  if (const DecodeResult::Kind k = ReadPng(bytes, sink, kMaxImagePixels, DecodeBuiltinPngRows); k != DecodeResult::Ok) return {k};
  out = std::move(sink.picture);
  return {DecodeResult::Ok};
}

DecodeResult DecodePng(std::string_view bytes, Picture& out, std::vector<std::uint8_t>& alpha, long long allowance) {
  std::vector<std::uint8_t> plane;
  PngPicture sink(bytes.size(), allowance, &plane);
  if (const DecodeResult::Kind k = ReadPng(bytes, sink, allowance); k != DecodeResult::Ok) return {k};
  out = std::move(sink.picture);
  alpha = std::move(plane);
  return {DecodeResult::Ok};
}

bool EncodePng(const Picture& picture, std::string& out) {
  if (picture.empty()) return false;
  std::string encoded;
  const bool ok = EncodePngRows(static_cast<std::uint32_t>(picture.width), static_cast<std::uint32_t>(picture.height),
                                [&picture](std::uint32_t y, std::uint8_t* d) {
                                  const Rgb24* src = picture.row(static_cast<int>(y));
                                  for (int x = 0; x < picture.width; ++x, d += 4) {
                                    d[0] = src[x].r;
                                    d[1] = src[x].g;
                                    d[2] = src[x].b;
                                    d[3] = 255;
                                  }
                                },
                                encoded);
  if (ok) out = std::move(encoded);
  return ok;
}
