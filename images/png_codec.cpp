#include "images/png_codec.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "images/picture_limits.h"

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

constexpr Rgb24 kKeyGreen{0, 248, 0};

}  // namespace

bool IsPng(std::string_view bytes) {
  return bytes.size() >= 8 && png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

namespace {

// The buffers live in the caller: a function that calls setjmp must not
// change its own locals between setjmp and a possible longjmp.
struct PngBuffers {
  std::vector<png_byte> data;
  std::vector<png_bytep> rows;
  png_uint_32 width = 0, height = 0;
  std::string encoded;
};

bool ReadPng(std::string_view bytes, PngBuffers& buf) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  MemoryReader reader{bytes};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_set_user_limits(png, kMaxImageDimension, kMaxImageDimension);
  png_set_chunk_malloc_max(png, 8 * 1024 * 1024);
  png_read_info(png, info);

  buf.width = png_get_image_width(png, info);
  buf.height = png_get_image_height(png, info);
  if (buf.width == 0 || buf.height == 0 || static_cast<long long>(buf.width) * buf.height > kMaxImagePixels) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  // Everything becomes 8-bit RGBA: palettes and grey expanded, transparency
  // chunks turned into alpha, 16-bit samples cut to their high byte.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != std::size_t(buf.width) * 4) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  buf.data.resize(std::size_t(buf.width) * buf.height * 4);
  buf.rows.resize(buf.height);
  for (png_uint_32 y = 0; y < buf.height; ++y) buf.rows[y] = buf.data.data() + std::size_t(y) * buf.width * 4;
  png_read_image(png, buf.rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
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

bool DecodePng(std::string_view bytes, Picture& out) {
  if (!IsPng(bytes)) return false;
  PngBuffers buf;
  if (!ReadPng(bytes, buf)) return false;
  Picture pic(static_cast<int>(buf.width), static_cast<int>(buf.height));
  const png_byte* s = buf.data.data();
  for (Rgb24& px : pic.pixels) {
    px = s[3] < 128 ? kKeyGreen : Rgb24{s[0], s[1], s[2]};
    s += 4;
  }
  out = std::move(pic);
  return true;
}

bool EncodePng(const Picture& picture, std::string& out) {
  if (picture.empty()) return false;
  PngBuffers buf;
  if (!WritePng(picture, buf)) return false;
  out = std::move(buf.encoded);
  return true;
}
