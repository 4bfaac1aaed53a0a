// Any bytes as a picture file: decoding (direct 16-bit BMP, BMP, PNG or JPEG)
// must not fail in any way but by refusing; an accepted picture must be
// within the size limits and hold exactly width x height pixels, and a
// refused one must leave the output alone.
#include <cstdlib>
#include <string_view>

#include "images/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const Picture before(1, 1, Rgb24{1, 2, 3});
  Picture pic = before;
  const DecodeResult result = DecodeSkinImage(std::string_view(reinterpret_cast<const char*>(data), size), true, pic);
  if (result) {
    if (!CheckPictureLimits(pic.width, pic.height) || pic.width <= 0 || pic.height <= 0 ||
        pic.pixels.size() != std::size_t(pic.width) * std::size_t(pic.height)) {
      std::abort();
    }
  } else if (!(pic == before)) {
    std::abort();
  }
  return 0;
}
