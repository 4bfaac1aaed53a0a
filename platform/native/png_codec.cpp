// PNG through libpng.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/picture_codecs.h"
#include "skin/budgets.h"

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

// What libpng is told before it reads a chunk. Chunk lengths are claims: a
// hundred-byte file may say its text runs to 2 GB, and libpng allocates what
// an ancillary chunk claims before it finds the data missing. The program
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

bool SamplesOf(int colourType, RowLayout::Samples& samples) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: samples = RowLayout::Samples::Grey; return true;
    case PNG_COLOR_TYPE_RGB: samples = RowLayout::Samples::Rgb; return true;
    case PNG_COLOR_TYPE_PALETTE: samples = RowLayout::Samples::Palette; return true;
    case PNG_COLOR_TYPE_GRAY_ALPHA: samples = RowLayout::Samples::GreyAlpha; return true;
    case PNG_COLOR_TYPE_RGB_ALPHA: samples = RowLayout::Samples::Rgba; return true;
  }
  return false;
}

// The layout of the picture libpng has read the header of: its palette and
// transparency chunks come before its pixels.
bool LayoutOf(png_structp png, png_infop info, RowLayout& layout) {
  layout.width = png_get_image_width(png, info);
  layout.height = png_get_image_height(png, info);
  layout.bitDepth = png_get_bit_depth(png, info);
  if (!SamplesOf(png_get_color_type(png, info), layout.samples)) return false;
  png_colorp palette = nullptr;
  int paletteSize = 0;
  if (png_get_PLTE(png, info, &palette, &paletteSize) & PNG_INFO_PLTE) {
    for (int i = 0; i < paletteSize && i < 256; ++i) layout.palette[std::size_t(i)] = {palette[i].red, palette[i].green, palette[i].blue};
  }
  png_bytep alpha = nullptr;
  int alphaCount = 0;
  png_color_16p value = nullptr;
  if (png_get_tRNS(png, info, &alpha, &alphaCount, &value) & PNG_INFO_tRNS) {
    if (layout.samples == RowLayout::Samples::Palette && alpha) {
      layout.paletteAlphaCount = std::min(alphaCount, 256);
      std::memcpy(layout.paletteAlpha.data(), alpha, std::size_t(layout.paletteAlphaCount));
    } else if ((layout.samples == RowLayout::Samples::Grey || layout.samples == RowLayout::Samples::Rgb) && value) {
      layout.hasTransparentValue = true;
      layout.transparentValue = layout.samples == RowLayout::Samples::Grey
                                    ? std::array<std::uint16_t, 3>{value->gray, 0, 0}
                                    : std::array<std::uint16_t, 3>{value->red, value->green, value->blue};
    }
  }
  return true;
}

// The buffers live in the caller: a function that calls setjmp must not
// change its own locals between setjmp and a possible longjmp.
struct PngBuffers {
  std::vector<png_byte> data;  // one row
  RowLayout layout;
  std::string encoded;
};

CodecStatus ReadPng(std::string_view bytes, RowSink& sink, PngBuffers& buf) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (!png) return CodecStatus::Damaged;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return CodecStatus::Damaged;
  }
  MemoryReader reader{bytes};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return CodecStatus::Damaged;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  LimitPngReader(png);
  png_read_info(png, info);
  const bool known = LayoutOf(png, info, buf.layout);
  if (!known || !sink.Begin(buf.layout)) {
    png_destroy_read_struct(&png, &info, nullptr);
    return known ? CodecStatus::Refused : CodecStatus::Damaged;
  }
  // The samples as the file holds them, an interlaced picture pass by pass:
  // its pixels go straight to where they belong, without a copy of the whole.
  const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
  png_read_update_info(png, info);
  const std::size_t rowBytes = buf.layout.RowBytes();
  if (png_get_rowbytes(png, info) != rowBytes) {
    png_destroy_read_struct(&png, &info, nullptr);
    return CodecStatus::Damaged;
  }
  const png_uint_32 width = buf.layout.width, height = buf.layout.height;
  buf.data.resize(rowBytes);  // a row of a pass is never longer than a row
  if (!interlaced) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, buf.data.data(), nullptr);
      sink.Row(y, 0, 1, width, buf.data.data());
    }
  } else {
    // libpng reads the passes in order and skips the empty ones, as here.
    for (int pass = 0; pass < 7; ++pass) {
      const png_uint_32 columns = PNG_PASS_COLS(width, pass), rows = PNG_PASS_ROWS(height, pass);
      if (columns == 0 || rows == 0) continue;
      for (png_uint_32 r = 0; r < rows; ++r) {
        png_read_row(png, buf.data.data(), nullptr);
        sink.Row(PNG_ROW_FROM_PASS_ROW(r, pass), PNG_PASS_START_COL(pass), PNG_PASS_COL_OFFSET(pass), columns,
                 buf.data.data());
      }
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return CodecStatus::Ok;
}

bool WritePng(std::uint32_t width, std::uint32_t height, const RowSource& rows, PngBuffers& buf) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  buf.data.resize(std::size_t(width) * 4);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &buf.encoded, WriteToString, Flush);
  png_set_compression_level(png, 9);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  for (png_uint_32 y = 0; y < height; ++y) {
    rows(y, buf.data.data());
    png_write_row(png, buf.data.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

CodecStatus DecodePngRows(std::string_view bytes, RowSink& sink) {
  PngBuffers buf;
  return ReadPng(bytes, sink, buf);
}

CodecStatus DecodeBuiltinPngRows(std::string_view bytes, RowSink& sink) { return DecodePngRows(bytes, sink); }

bool EncodePngRows(std::uint32_t width, std::uint32_t height, const RowSource& rows, std::string& out) {
  if (width == 0 || height == 0) return false;
  PngBuffers buf;
  if (!WritePng(width, height, rows, buf)) return false;
  out = std::move(buf.encoded);
  return true;
}
