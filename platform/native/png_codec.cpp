#include "images/png_codec.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

#include "images/alpha_plane.h"

namespace {

struct MemoryReader {
  std::string_view bytes;
  std::size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > r->bytes.size() - r->pos) png_error(png, "truncated");
  std::memcpy(out, r->bytes.data() + r->pos, length);
  r->pos += length;
}

void WriteToString(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void Flush(png_structp) {}

// libpng reports errors by longjmp; warnings are not worth a message.
void Warning(png_structp, png_const_charp) {}
void Error(png_structp png, png_const_charp) { png_longjmp(png, 1); }

}  // namespace

bool IsPng(std::string_view bytes) {
  return bytes.size() >= 8 && png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

namespace {

// The buffers live in the caller: a function that calls setjmp must not
// change its own locals between setjmp and a possible longjmp.
struct PngBuffers {
  std::vector<png_byte> data;  // RGBA: one row, or the whole picture when it is interlaced
  std::vector<png_bytep> rows;
  png_uint_32 width = 0, height = 0;
  Picture picture;
  std::vector<std::uint8_t>* alpha = nullptr;  // set: alpha kept in this plane instead of keyed at once
  std::string encoded;
};

// One decoded RGBA row into the picture: keyed at once, or with its alpha
// kept for an import to fit first.
void StoreRow(const png_byte* s, PngBuffers& buf, png_uint_32 y) {
  Rgb24* dst = buf.picture.row(int(y));
  const png_uint_32 width = buf.width;
  if (!buf.alpha) {
    for (png_uint_32 x = 0; x < width; ++x, s += 4) dst[x] = s[3] < 128 ? kKeyGreen : Rgb24{s[0], s[1], s[2]};
    return;
  }
  AlphaPlane alpha(*buf.alpha, buf.picture.pixels.size());
  const std::size_t first = std::size_t(y) * width;
  for (png_uint_32 x = 0; x < width; ++x, s += 4) {
    dst[x] = {s[0], s[1], s[2]};
    alpha.Set(first + x, s[3]);
  }
}

// What libpng is told before it reads a chunk. Chunk lengths are claims: a
// hundred-byte file may say its text runs to 2 GB, and libpng allocates what
// an ancillary chunk claims before it finds the data missing. The editor
// uses none of these chunks, so they are skipped unread (skipping only
// reads on through the bytes we hold), and what libpng still allocates for
// a chunk is capped.
void LimitPngReader(png_structp png) {
  static constexpr png_byte kUnused[] = {
      'i', 'C', 'C', 'P', '\0', 'i', 'T', 'X', 't', '\0', 'p', 'C', 'A', 'L', '\0', 's', 'C', 'A', 'L', '\0',
      's', 'P', 'L', 'T', '\0', 't', 'E', 'X', 't', '\0', 'z', 'T', 'X', 't', '\0', 'e', 'X', 'I', 'f', '\0',
  };
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);  // chunks libpng does not know
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnused, static_cast<int>(sizeof kUnused / 5));
  png_set_chunk_malloc_max(png, 1024 * 1024);
  png_set_chunk_cache_max(png, 128);
  png_set_user_limits(png, kMaxImageDimension, kMaxImageDimension);
}

std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
  return std::uint32_t(static_cast<std::uint8_t>(b[at])) << 24 | std::uint32_t(static_cast<std::uint8_t>(b[at + 1])) << 16 |
         std::uint32_t(static_cast<std::uint8_t>(b[at + 2])) << 8 | static_cast<std::uint8_t>(b[at + 3]);
}

// The header chunk comes first in every PNG. Its size is looked at before
// libpng reads on, so that a picture over the limits is told apart from a
// damaged file (libpng's own refusal of it would look like any other).
DecodeResult::Kind CheckHeaderSize(std::string_view bytes, long long allowance) {
  if (bytes.size() < 24 || bytes.substr(12, 4) != "IHDR") return DecodeResult::Ok;  // libpng will refuse it
  return CheckPictureLimits(BigEndian32(bytes, 16), BigEndian32(bytes, 20), allowance).kind;
}

// Deflate packs at most 1032 bytes into one, and the leanest PNG pixel is
// one bit: a complete file cannot hold more pixels than this per byte.
constexpr long long kPngPixelsPerByte = 1032 * 8;

DecodeResult::Kind ReadPng(std::string_view bytes, PngBuffers& buf, long long allowance) {
  constexpr DecodeResult::Kind kRefused = DecodeResult::Unreadable;
  if (const DecodeResult::Kind k = CheckHeaderSize(bytes, allowance); k != DecodeResult::Ok) return k;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (!png) return kRefused;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return kRefused;
  }
  MemoryReader reader{bytes};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return kRefused;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  LimitPngReader(png);
  png_read_info(png, info);

  buf.width = png_get_image_width(png, info);
  buf.height = png_get_image_height(png, info);
  const long long pixels = static_cast<long long>(buf.width) * buf.height;
  DecodeResult::Kind verdict = CheckPictureLimits(buf.width, buf.height, allowance).kind;
  if (verdict == DecodeResult::Ok && (pixels == 0 || !BytesCanHold(bytes.size(), pixels, kPngPixelsPerByte))) {
    verdict = kRefused;
  }
  if (verdict != DecodeResult::Ok) {
    png_destroy_read_struct(&png, &info, nullptr);
    return verdict;
  }
  // Everything becomes 8-bit RGBA: palettes and grey expanded, transparency
  // chunks turned into alpha, 16-bit samples cut to their high byte.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  const bool interlaced = png_set_interlace_handling(png) > 1;
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t(buf.width) * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    return kRefused;
  }
  buf.picture = Picture(static_cast<int>(buf.width), static_cast<int>(buf.height));
  if (interlaced) {
    // The passes of an interlaced picture each cover the whole of it, so
    // libpng needs all its rows at once.
    buf.data.resize(std::size_t(buf.width) * buf.height * 4);
    buf.rows.resize(buf.height);
    for (png_uint_32 y = 0; y < buf.height; ++y) buf.rows[y] = buf.data.data() + std::size_t(y) * buf.width * 4;
    png_read_image(png, buf.rows.data());
    for (png_uint_32 y = 0; y < buf.height; ++y) StoreRow(buf.rows[y], buf, y);
  } else {
    // Row by row: the picture is the only copy of the pixels.
    buf.data.resize(std::size_t(buf.width) * 4);
    for (png_uint_32 y = 0; y < buf.height; ++y) {
      png_read_row(png, buf.data.data(), nullptr);
      StoreRow(buf.data.data(), buf, y);
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return DecodeResult::Ok;
}

bool WritePng(const Picture& picture, PngBuffers& buf) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  buf.data.resize(std::size_t(picture.width) * 4);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &buf.encoded, WriteToString, Flush);
  png_set_compression_level(png, 9);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  for (int y = 0; y < picture.height; ++y) {
    const Rgb24* src = picture.row(y);
    png_byte* d = buf.data.data();
    for (int x = 0; x < picture.width; ++x, d += 4) {
      d[0] = src[x].r;
      d[1] = src[x].g;
      d[2] = src[x].b;
      d[3] = 255;
    }
    png_write_row(png, buf.data.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

DecodeResult DecodePng(std::string_view bytes, Picture& out, long long allowance) {
  if (!IsPng(bytes)) return {DecodeResult::Unreadable};
  PngBuffers buf;
  if (const DecodeResult::Kind k = ReadPng(bytes, buf, allowance); k != DecodeResult::Ok) return {k};
  out = std::move(buf.picture);
  return {DecodeResult::Ok};
}

DecodeResult DecodePng(std::string_view bytes, Picture& out, std::vector<std::uint8_t>& alpha, long long allowance) {
  if (!IsPng(bytes)) return {DecodeResult::Unreadable};
  PngBuffers buf;
  std::vector<std::uint8_t> plane;
  buf.alpha = &plane;
  if (const DecodeResult::Kind k = ReadPng(bytes, buf, allowance); k != DecodeResult::Ok) return {k};
  out = std::move(buf.picture);
  alpha = std::move(plane);
  return {DecodeResult::Ok};
}

bool EncodePng(const Picture& picture, std::string& out) {
  if (picture.empty()) return false;
  PngBuffers buf;
  if (!WritePng(picture, buf)) return false;
  out = std::move(buf.encoded);
  return true;
}
