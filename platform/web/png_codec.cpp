// PNG in the web build: a JavaScript decoder and encoder
// (Module.skinPlatform.png, web/platform/png.mjs). The decoder expands every
// colour type to 8-bit RGBA as libpng's expansion does (palettes, tRNS,
// narrow grey, 16 bits cut to their high byte), so the rows are handed on as
// RGBA. Its chunks are read by libpng's rules before anything is decoded:
// the header it finds tells the size, so that the sink may refuse the
// picture first.
#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "platform/picture_codecs.h"
#include "platform/web/js_block.h"
#include "skin/budgets.h"

namespace {

// The size the file's header chunk gives: 0 with width and height, 1 when
// it is no PNG or its chunks are damaged.
EM_JS(int, SkinJsPngHeader, (const char* bytes, std::size_t size, std::uint32_t* info), {
  return skinJsPngHeader(HEAPU8.subarray(bytes, bytes + size), info);
});

// Decodes the file into the platform's picture slot: 0 with its width and
// height, 1 when it is no PNG or damaged.
EM_JS(int, SkinJsPngDecode, (const char* bytes, std::size_t size, std::uint32_t* size2), {
  return skinJsPictureDecode('png', HEAPU8.subarray(bytes, bytes + size), size2);
});

// The same for the program's own pictures, through the platform's small
// decoder of them (Module.skinPlatform.pngBuiltin).
EM_JS(int, SkinJsBuiltinPngDecode, (const char* bytes, std::size_t size, std::uint32_t* size2), {
  return skinJsPictureDecode('pngBuiltin', HEAPU8.subarray(bytes, bytes + size), size2);
});

// A PNG of RGBA rows, in a block; nothing when it could not be made.
EM_JS(void*, SkinJsPngEncode, (const std::uint8_t* rgba, std::uint32_t width, std::uint32_t height), {
  return skinJsEncode('png', HEAPU8.subarray(rgba, rgba + width * height * 4), width, height, 0);
});

}  // namespace

namespace {

CodecStatus DecodeWith(int (*decode)(const char*, std::size_t, std::uint32_t*), std::string_view bytes, RowSink& sink) {
  std::uint32_t header[2] = {};
  if (SkinJsPngHeader(bytes.data(), bytes.size(), header) != 0) return CodecStatus::Damaged;
  RowLayout layout;
  layout.width = header[0];
  layout.height = header[1];
  layout.samples = RowLayout::Samples::Rgba;
  layout.bitDepth = 8;
  if (layout.width == 0 || layout.height == 0 || layout.width > std::uint32_t(kMaxImageDimension) ||
      layout.height > std::uint32_t(kMaxImageDimension)) {
    return CodecStatus::Damaged;
  }
  if (!sink.Begin(layout)) return CodecStatus::Refused;
  std::uint32_t size[2] = {};
  if (decode(bytes.data(), bytes.size(), size) != 0) return CodecStatus::Damaged;
  return HandJsPictureRows(layout, size, sink);
}

}  // namespace

CodecStatus DecodePngRows(std::string_view bytes, RowSink& sink) { return DecodeWith(SkinJsPngDecode, bytes, sink); }

CodecStatus DecodeBuiltinPngRows(std::string_view bytes, RowSink& sink) {
  return DecodeWith(SkinJsBuiltinPngDecode, bytes, sink);
}

bool EncodePngRows(std::uint32_t width, std::uint32_t height, const RowSource& rows, std::string& out) {
  if (width == 0 || height == 0) return false;
  std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
  for (std::uint32_t y = 0; y < height; ++y) rows(y, rgba.data() + std::size_t(y) * width * 4);
  std::string encoded = TakeJsBlock(SkinJsPngEncode(rgba.data(), width, height));
  if (encoded.empty()) return false;
  out = std::move(encoded);
  return true;
}
