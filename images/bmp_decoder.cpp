// Bitmap files arrive from anywhere (old paint programs, converters, other
// editors, hand-edited archives), so every size and offset in them is treated as
// a claim to be checked against the bytes actually present before it is used.
#include "images/bmp_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "images/alpha_plane.h"

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;

// Compression codes of the info header.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::uint32_t kBiAlphaBitFields = 6;

// Bounds-checked little-endian access to the whole file.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t size() const { return bytes_.size(); }
  bool has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  // Callers check has() first; these never look past the end themselves either.
  std::uint8_t u8(std::uint64_t offset) const {
    return offset < bytes_.size() ? static_cast<std::uint8_t>(bytes_[offset]) : 0;
  }
  std::uint16_t u16(std::uint64_t offset) const {
    return static_cast<std::uint16_t>(u8(offset) | (u8(offset + 1) << 8));
  }
  std::uint32_t u32(std::uint64_t offset) const {
    return static_cast<std::uint32_t>(u16(offset)) | (static_cast<std::uint32_t>(u16(offset + 2)) << 16);
  }
  std::int32_t i32(std::uint64_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
  const unsigned char* at(std::uint64_t offset) const {
    return reinterpret_cast<const unsigned char*>(bytes_.data()) + offset;
  }

 private:
  std::string_view bytes_;
};

// One colour channel of a bit-field pixel. The mask may be anything a file
// claims: zero gives a channel that is always 0, and a mask with holes in it
// still widens into 0..255 because the extracted value never exceeds `max`.
//
// How a channel is widened to 8 bits is ours to choose, and the choice
// decides what the 15-bit reduction makes of it. A channel of at most 5 bits
// is widened to the console's own 5-bit steps (v << 3, after rounding a
// narrower channel to the nearest 5-bit value): those values are multiples
// of 8, so the reduction keeps them exactly and a 5-5-5 bit-field file comes
// out as the uncompressed 16-bit road reads it, with no dither noise. Scaling
// 31 to 255 instead would leave a remainder in most values that the error
// diffusion then spreads. Wider channels carry more than the console shows;
// they are scaled to 0..255 and reduced with error diffusion.
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask)
      : mask_(mask), shift_(mask == 0 ? 0 : std::countr_zero(mask)), max_(mask == 0 ? 0 : mask >> shift_) {}

  bool present() const { return mask_ != 0; }
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t v = (pixel & mask_) >> shift_;
    if (max_ <= 31) return static_cast<std::uint8_t>(((v * 31 + max_ / 2) / max_) << 3);
    return static_cast<std::uint8_t>((v * 255 + max_ / 2) / max_);
  }
  // The channel scaled to 0..255 whatever its width: alpha, where 255 must
  // mean opaque. Against 128 it decides as the 5-bit widening above does.
  std::uint8_t Full(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t v = (pixel & mask_) >> shift_;
    return static_cast<std::uint8_t>((v * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  std::uint64_t max_ = 0;
};

// Everything the headers say about the pixel data, already checked.
struct Layout {
  int width = 0;
  int height = 0;  // always positive here
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = kBiRgb;
  Channel red, green, blue, alpha;
  std::array<Rgb24, 256> palette{};
  int paletteSize = 0;
  std::uint64_t dataOffset = 0;
};

bool IsKnownHeaderSize(std::uint32_t size) {
  switch (size) {
    case 12:   // OS/2 1.x core header
    case 40:   // BITMAPINFOHEADER
    case 52:   // ... with RGB masks
    case 56:   // ... with RGBA masks
    case 64:   // OS/2 2.x
    case 108:  // version 4
    case 124:  // version 5
      return true;
    default:
      return false;
  }
}

bool IsValidDepth(int bitsPerPixel, std::uint32_t compression, bool coreHeader) {
  switch (compression) {
    case kBiRgb:
      if (coreHeader) return bitsPerPixel == 1 || bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8 ||
                             bitsPerPixel == 24;
      return bitsPerPixel == 1 || bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8 ||
             bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
    case kBiRle8:
      return bitsPerPixel == 8;
    case kBiRle4:
      return bitsPerPixel == 4;
    case kBiBitFields:
    case kBiAlphaBitFields:
      // Also keeps out OS/2 2.x Huffman data, which reuses code 3 at 1 bit per pixel.
      return bitsPerPixel == 16 || bitsPerPixel == 32;
    default:
      // JPEG or PNG inside a bitmap, OS/2 RLE24 and the rest: not ours to read.
      return false;
  }
}

DecodeResult::Kind ReadLayout(const ByteReader& file, Layout& layout, long long allowance) {
  constexpr DecodeResult::Kind kRefused = DecodeResult::Unreadable;
  if (!file.has(0, kFileHeaderSize + 4)) return kRefused;
  if (file.u8(0) != 'B' || file.u8(1) != 'M') return kRefused;

  const std::uint32_t headerSize = file.u32(kFileHeaderSize);
  if (!IsKnownHeaderSize(headerSize) || !file.has(kFileHeaderSize, headerSize)) return kRefused;
  const bool core = headerSize == 12;
  const std::uint64_t h = kFileHeaderSize;  // start of the info header

  std::int64_t width = 0, height = 0;
  std::uint32_t colorsUsed = 0;
  if (core) {
    width = file.u16(h + 4);
    height = file.u16(h + 6);
    layout.bitsPerPixel = file.u16(h + 10);
    layout.compression = kBiRgb;
  } else {
    width = file.i32(h + 4);
    height = file.i32(h + 8);
    layout.bitsPerPixel = file.u16(h + 14);
    layout.compression = file.u32(h + 16);
    colorsUsed = file.u32(h + 32);
  }

  // Size limits come before anything is allocated; 64-bit math keeps -2^31 harmless.
  layout.topDown = height < 0;
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0) return kRefused;
  if (const DecodeResult limits = CheckPictureLimits(width, height, allowance); !limits) return limits.kind;
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(height);

  if (!IsValidDepth(layout.bitsPerPixel, layout.compression, core)) return kRefused;
  const bool rle = layout.compression == kBiRle8 || layout.compression == kBiRle4;
  // Run-length data can only describe a picture from the bottom up.
  if (rle && layout.topDown) return kRefused;

  // Bit masks: inside the larger headers, or right after a 40/64-byte one.
  std::uint64_t masksSize = 0;
  if (layout.compression == kBiBitFields || layout.compression == kBiAlphaBitFields) {
    const bool withAlpha = layout.compression == kBiAlphaBitFields;
    std::uint32_t r, g, b, a = 0;
    if (headerSize >= 52) {
      r = file.u32(h + 40);
      g = file.u32(h + 44);
      b = file.u32(h + 48);
      if (headerSize >= 56) a = file.u32(h + 52);
    } else {
      masksSize = withAlpha ? 16 : 12;
      const std::uint64_t m = h + headerSize;
      if (!file.has(m, masksSize)) return kRefused;
      r = file.u32(m);
      g = file.u32(m + 4);
      b = file.u32(m + 8);
      if (withAlpha) a = file.u32(m + 12);
    }
    layout.red = Channel(r);
    layout.green = Channel(g);
    layout.blue = Channel(b);
    layout.alpha = Channel(a);
  } else if (layout.bitsPerPixel == 16) {
    layout.red = Channel(0x7C00);
    layout.green = Channel(0x03E0);
    layout.blue = Channel(0x001F);
  } else if (layout.bitsPerPixel == 32) {
    // The fourth byte of a plain 32-bit pixel is unused, whatever the header's alpha mask says.
    layout.red = Channel(0x00FF0000);
    layout.green = Channel(0x0000FF00);
    layout.blue = Channel(0x000000FF);
  }

  const std::uint64_t headersEnd = h + headerSize + masksSize;
  const std::uint64_t entrySize = core ? 3 : 4;
  std::uint64_t nominalColours = 0;
  if (layout.bitsPerPixel <= 8) {
    nominalColours = colorsUsed != 0 ? colorsUsed : (1u << layout.bitsPerPixel);
    nominalColours = std::min<std::uint64_t>(nominalColours, 256);
  }

  layout.dataOffset = file.u32(10);
  if (layout.dataOffset == 0 || layout.dataOffset < headersEnd) {
    layout.dataOffset = headersEnd + nominalColours * entrySize;
  }

  // The palette ends where the pixel data begin, or at the end of the file.
  const std::uint64_t paletteLimit = std::min(layout.dataOffset, file.size());
  const std::uint64_t room = paletteLimit > headersEnd ? (paletteLimit - headersEnd) / entrySize : 0;
  layout.paletteSize = static_cast<int>(std::min(nominalColours, room));
  for (int i = 0; i < layout.paletteSize; ++i) {
    const std::uint64_t e = headersEnd + static_cast<std::uint64_t>(i) * entrySize;
    layout.palette[static_cast<std::size_t>(i)] = Rgb24{file.u8(e + 2), file.u8(e + 1), file.u8(e)};
  }
  return DecodeResult::Ok;
}

Rgb24 PaletteColour(const Layout& layout, unsigned index) {
  return index < static_cast<unsigned>(layout.paletteSize) ? layout.palette[index] : Rgb24{};
}

// A 16- or 32-bit pixel word of a stored row.
std::uint32_t PixelWord(const unsigned char* row, int x, int bitsPerPixel) {
  if (bitsPerPixel == 16) {
    const unsigned char* p = row + std::size_t(x) * 2;
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
  }
  const unsigned char* p = row + std::size_t(x) * 4;
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// With `alpha`, pixels keep their colour and their alpha goes into that
// plane (for an import); without, transparent pixels become the key at once.
DecodeResult::Kind DecodeUncompressed(const ByteReader& file, const Layout& layout, Picture& picture,
                                      std::vector<std::uint8_t>* alpha) {
  const std::uint64_t width = static_cast<std::uint64_t>(layout.width);
  const std::uint64_t bits = static_cast<std::uint64_t>(layout.bitsPerPixel);
  const std::uint64_t stride = (width * bits + 31) / 32 * 4;
  // The last row's padding is often left out by writers; it is never read anyway.
  const std::uint64_t lastRow = (width * bits + 7) / 8;
  const std::uint64_t needed = stride * static_cast<std::uint64_t>(layout.height - 1) + lastRow;
  if (!file.has(layout.dataOffset, needed)) return DecodeResult::Unreadable;

  const unsigned char* data = file.at(layout.dataOffset);
  auto storedRow = [&](int r) { return data + std::uint64_t(r) * stride; };
  auto pictureRow = [&](int r) { return layout.topDown ? r : layout.height - 1 - r; };

  // Many writers leave the fourth byte of every pixel at zero without meaning
  // "transparent"; alpha only counts when some pixel has any.
  bool useAlpha = false;
  if (layout.alpha.present()) {
    for (int r = 0; r < layout.height && !useAlpha; ++r) {
      for (int x = 0; x < layout.width; ++x) {
        if (layout.alpha(PixelWord(storedRow(r), x, layout.bitsPerPixel)) != 0) {
          useAlpha = true;
          break;
        }
      }
    }
  }

  Picture result(layout.width, layout.height);
  std::vector<std::uint8_t> plane;
  AlphaPlane kept(plane, result.pixels.size());
  const int bpp = layout.bitsPerPixel;
  for (int r = 0; r < layout.height; ++r) {
    const unsigned char* src = storedRow(r);
    Rgb24* dst = result.row(pictureRow(r));
    if (bpp <= 8) {
      const unsigned mask = (1u << bpp) - 1;
      for (int x = 0; x < layout.width; ++x) {
        const std::uint64_t bit = std::uint64_t(x) * unsigned(bpp);
        const unsigned shift = 8 - unsigned(bpp) - unsigned(bit % 8);  // leftmost pixel in the high bits
        dst[x] = PaletteColour(layout, (src[bit / 8] >> shift) & mask);
      }
    } else if (bpp == 24) {
      for (int x = 0; x < layout.width; ++x) {
        const unsigned char* p = src + std::size_t(x) * 3;
        dst[x] = Rgb24{p[2], p[1], p[0]};
      }
    } else if (useAlpha && alpha) {
      const std::size_t first = std::size_t(pictureRow(r)) * std::size_t(layout.width);
      for (int x = 0; x < layout.width; ++x) {
        const std::uint32_t v = PixelWord(src, x, bpp);
        dst[x] = Rgb24{layout.red(v), layout.green(v), layout.blue(v)};
        kept.Set(first + std::size_t(x), layout.alpha.Full(v));
      }
    } else {
      for (int x = 0; x < layout.width; ++x) {
        const std::uint32_t v = PixelWord(src, x, bpp);
        if (useAlpha && layout.alpha(v) < 128) {
          dst[x] = kKeyGreen;  // too little alpha: the transparent key
        } else {
          dst[x] = Rgb24{layout.red(v), layout.green(v), layout.blue(v)};
        }
      }
    }
  }
  picture = std::move(result);
  if (alpha) *alpha = std::move(plane);
  return DecodeResult::Ok;
}

// RLE8 and RLE4. A stream that ends early, or a run or jump that leaves the
// picture, is not an error: what was drawn stays and the rest is black.
DecodeResult::Kind DecodeRunLength(const ByteReader& file, const Layout& layout, Picture& picture) {
  if (layout.dataOffset >= file.size()) return DecodeResult::Unreadable;  // no pixel data at all
  const unsigned char* data = file.at(layout.dataOffset);
  const std::uint64_t size = file.size() - layout.dataOffset;
  // A run codes at most 255 pixels in two bytes; skips and an early end can
  // leave more untouched, so allow eight times that before calling the
  // picture's size a claim the data cannot back.
  constexpr long long kRunLengthPixelsPerByte = 1024;
  if (!BytesCanHold(size, static_cast<long long>(layout.width) * layout.height, kRunLengthPixelsPerByte)) {
    return DecodeResult::Unreadable;
  }
  const bool nibbles = layout.compression == kBiRle4;
  const std::int64_t width = layout.width, height = layout.height;

  Picture result(layout.width, layout.height);
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom, as stored
  auto put = [&](std::int64_t px, unsigned index) {
    if (px < width) result.at(static_cast<int>(px), static_cast<int>(height - 1 - y)) = PaletteColour(layout, index);
  };

  std::uint64_t pos = 0;
  while (y < height && pos + 2 <= size) {
    const unsigned count = data[pos];
    const unsigned value = data[pos + 1];
    pos += 2;
    if (count != 0) {
      // Encoded run: one index repeated, or two alternating indices in RLE4.
      for (unsigned i = 0; i < count && x + i < width; ++i) {
        put(x + i, nibbles ? ((i % 2 == 0) ? value >> 4 : value & 15) : value);
      }
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta: move right and up
      if (pos + 2 > size) break;
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
    } else {  // absolute run of `value` literal pixels, padded to a 16-bit boundary
      const std::uint64_t literalBytes = nibbles ? (value + 1) / 2 : value;
      const std::uint64_t available = std::min<std::uint64_t>(literalBytes, size - pos);
      for (unsigned i = 0; i < value && x + i < width; ++i) {
        const std::uint64_t byte = nibbles ? i / 2 : i;
        if (byte >= available) break;
        const unsigned b = data[pos + byte];
        put(x + i, nibbles ? ((i % 2 == 0) ? b >> 4 : b & 15) : b);
      }
      if (available < literalBytes) break;
      x += value;
      pos += (literalBytes + 1) & ~std::uint64_t(1);
    }
  }
  picture = std::move(result);
  return DecodeResult::Ok;
}

}  // namespace

namespace {

DecodeResult Decode(std::string_view bytes, Picture& out, std::vector<std::uint8_t>* alpha, long long allowance) {
  const ByteReader file(bytes);
  Layout layout;
  if (const DecodeResult::Kind k = ReadLayout(file, layout, allowance); k != DecodeResult::Ok) return {k};
  if (layout.compression == kBiRle8 || layout.compression == kBiRle4) {
    const DecodeResult::Kind k = DecodeRunLength(file, layout, out);
    if (k == DecodeResult::Ok && alpha) alpha->clear();
    return {k};
  }
  return {DecodeUncompressed(file, layout, out, alpha)};
}

}  // namespace

DecodeResult DecodeBmp(std::string_view bytes, Picture& out, long long allowance) {
  return Decode(bytes, out, nullptr, allowance);
}

DecodeResult DecodeBmp(std::string_view bytes, Picture& out, std::vector<std::uint8_t>& alpha, long long allowance) {
  return Decode(bytes, out, &alpha, allowance);
}
