// PNG and JPEG files from bytes and to bytes: the calls of the codec
// libraries, one implementation per platform (platform/native/ over libpng and
// libjpeg). A decoder hands the picture to a sink a row (or, for an
// interlaced PNG, a pass's part of a row) at a time, so that what the sink
// makes of it is the only copy of the pixels, and tells the sink
// the size first, so that the sink can refuse it before anything of that
// size is allocated. What becomes of the samples (expansion to RGBA, the key
// green, the alpha of an import, CMYK) is the same on every platform and
// lives with the pictures (images/png_codec.cpp, images/jpeg_codec.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The samples of a decoded picture as the decoder hands them over.
struct RowLayout {
  enum class Samples {
    Grey,       // PNG colour type 0
    Rgb,        // PNG colour type 2, and JPEG in RGB
    Palette,    // PNG colour type 3: indices into `palette`
    GreyAlpha,  // PNG colour type 4
    Rgba,       // PNG colour type 6
    Cmyk,       // JPEG in CMYK (YCCK comes converted to CMYK)
  };
  std::uint32_t width = 0, height = 0;
  Samples samples = Samples::Rgb;
  // Bits of one sample: 1, 2, 4 or 8, or 16 with the high byte first.
  // Samples narrower than a byte are packed as PNG packs them, the leftmost
  // pixel in the highest bits.
  int bitDepth = 8;

  // PNG's palette: all 256 entries, black past the file's own; the alpha of
  // the first `paletteAlphaCount` entries (tRNS), the others opaque.
  std::array<std::array<std::uint8_t, 3>, 256> palette{};
  std::array<std::uint8_t, 256> paletteAlpha{};
  int paletteAlphaCount = 0;
  // PNG grey or RGB: the one sample value (grey: [0]) that tRNS makes
  // transparent, as the file writes it.
  bool hasTransparentValue = false;
  std::array<std::uint16_t, 3> transparentValue{};

  // JPEG CMYK written inverted (0 is full ink), as Adobe's programs write it.
  bool adobeInverted = false;

  int Channels() const {
    switch (samples) {
      case Samples::Grey:
      case Samples::Palette: return 1;
      case Samples::GreyAlpha: return 2;
      case Samples::Rgb: return 3;
      case Samples::Rgba:
      case Samples::Cmyk: return 4;
    }
    return 0;
  }
  // The bytes of one row.
  std::size_t RowBytes() const { return (std::size_t(width) * std::size_t(Channels()) * std::size_t(bitDepth) + 7) / 8; }
};

class RowSink {
 public:
  // The picture about to come, before any of it is decoded: false refuses it
  // and the decoder stops.
  virtual bool Begin(const RowLayout& layout) = 0;
  // The samples of `count` pixels of row `y`: those of columns x, x + step,
  // x + 2 step, ... A plain picture comes whole rows at a time (x 0, step 1,
  // `width` pixels) from the top; an interlaced PNG in its seven passes. Each
  // pixel comes once; those a damaged file no longer holds may not come.
  virtual void Row(std::uint32_t y, std::uint32_t x, std::uint32_t step, std::uint32_t count,
                   const std::uint8_t* samples) = 0;

 protected:
  ~RowSink() = default;
};

enum class CodecStatus {
  Ok,
  Refused,   // the sink refused the picture
  Damaged,   // not this format, or damaged
  TooLarge,  // over the size the library itself takes
};

// The rows of a PNG file: any colour type and depth, an interlaced one pass
// by pass.
// Chunks the program uses none of (text, profiles) are skipped unread, and a
// picture over kMaxImageDimension either way is Damaged.
CodecStatus DecodePngRows(std::string_view bytes, RowSink& sink);

// The rows of one of the program's own PNG files (the built-in skin, the
// hinge, the sample icon, the banner: 8-bit RGB or palette, made by the
// project's tools). Natively the same as DecodePngRows; the web build reads
// them without the codec a user's files need, so that a page draws its first
// preview before that codec has even been fetched.
CodecStatus DecodeBuiltinPngRows(std::string_view bytes, RowSink& sink);

// The rows of a JPEG file, baseline or progressive: RGB (greyscale and YCbCr
// converted to it) or CMYK. A file of hundreds of scans is Damaged.
CodecStatus DecodeJpegRows(std::string_view bytes, RowSink& sink);

// Fills row `y` of a picture being encoded.
using RowSource = std::function<void(std::uint32_t y, std::uint8_t* row)>;

// A PNG of 8-bit RGBA rows (width * 4 bytes each), not interlaced, deflated
// at level 9 without row filters. False when it could not be made.
bool EncodePngRows(std::uint32_t width, std::uint32_t height, const RowSource& rows, std::string& out);

// A JPEG of 8-bit RGB rows (width * 3 bytes each), the library's defaults at
// `quality`.
bool EncodeJpegRows(std::uint32_t width, std::uint32_t height, int quality, const RowSource& rows, std::string& out);
