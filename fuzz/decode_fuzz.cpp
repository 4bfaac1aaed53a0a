// Any bytes as a picture file: decoding (direct 16-bit BMP, BMP, PNG or JPEG)
// must not fail in any way but by returning nothing.
#include <cstdlib>
#include <string_view>

#include "images/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const auto pic = DecodeSkinImage(std::string_view(reinterpret_cast<const char*>(data), size), true);
  if (pic && (pic->width <= 0 || pic->height <= 0 ||
              pic->pixels.size() != std::size_t(pic->width) * std::size_t(pic->height))) {
    std::abort();
  }
  return 0;
}
