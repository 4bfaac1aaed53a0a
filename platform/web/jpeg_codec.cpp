// JPEG in the web build: libjpeg-turbo compiled to WebAssembly, reached
// through JavaScript (Module.skinPlatform.jpeg, web/platform/jpeg.mjs): the
// same library as the desktop build's, so the same pixels. Its header tells
// the size and colour space before anything is decoded.
#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "platform/picture_codecs.h"
#include "platform/web/js_block.h"

namespace {

// What the header says: 0 and width, height, 1 for CMYK (YCCK comes as
// CMYK), 1 for an Adobe marker; 1 when it is no JPEG or damaged, 2 when it
// is larger than libjpeg takes, 3 for a file of more scans than a picture
// needs.
EM_JS(int, SkinJsJpegHeader, (const char* bytes, std::size_t size, std::uint32_t* info), {
  return skinJsJpegHeader(HEAPU8.subarray(bytes, bytes + size), info);
});

// Decodes the file into the platform's picture slot (RGB or CMYK samples):
// 0 with its width and height, 1 when it is damaged.
EM_JS(int, SkinJsJpegDecode, (const char* bytes, std::size_t size, std::uint32_t* size2), {
  return skinJsPictureDecode('jpeg', HEAPU8.subarray(bytes, bytes + size), size2);
});



// A JPEG of RGB rows at `quality`, in a block; nothing when it could not be
// made (or the encoder was not loaded).
EM_JS(void*, SkinJsJpegEncode, (const std::uint8_t* rgb, std::uint32_t width, std::uint32_t height, int quality), {
  return skinJsEncode('jpeg', HEAPU8.subarray(rgb, rgb + width * height * 3), width, height, quality);
});

}  // namespace

CodecStatus DecodeJpegRows(std::string_view bytes, RowSink& sink) {
  std::uint32_t info[4] = {};
  switch (SkinJsJpegHeader(bytes.data(), bytes.size(), info)) {
    case 0: break;
    case 2: return CodecStatus::TooLarge;
    default: return CodecStatus::Damaged;
  }
  RowLayout layout;
  layout.width = info[0];
  layout.height = info[1];
  layout.samples = info[2] ? RowLayout::Samples::Cmyk : RowLayout::Samples::Rgb;
  layout.adobeInverted = info[2] && info[3];
  if (!sink.Begin(layout)) return CodecStatus::Refused;
  std::uint32_t size[2] = {};
  if (SkinJsJpegDecode(bytes.data(), bytes.size(), size) != 0) return CodecStatus::Damaged;
  return HandJsPictureRows(layout, size, sink);
}

bool EncodeJpegRows(std::uint32_t width, std::uint32_t height, int quality, const RowSource& rows, std::string& out) {
  if (width == 0 || height == 0) return false;
  std::vector<std::uint8_t> rgb(std::size_t(width) * height * 3);
  for (std::uint32_t y = 0; y < height; ++y) rows(y, rgb.data() + std::size_t(y) * width * 3);
  std::string encoded = TakeJsBlock(SkinJsJpegEncode(rgb.data(), width, height, quality));
  if (encoded.empty()) return false;
  out = std::move(encoded);
  return true;
}
