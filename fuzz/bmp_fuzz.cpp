// Any bytes as a bitmap file: decoding must never read or write out of bounds,
// and an accepted picture must be within the size limits and hold exactly
// width x height pixels; a refused one must leave the output alone.
#include <cstddef>
#include <cstdlib>
#include <string_view>

#include "images/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const Picture before(1, 1, Rgb24{1, 2, 3});
  Picture picture = before;
  if (DecodeBmp(std::string_view(reinterpret_cast<const char*>(data), size), picture)) {
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxImageDimension ||
        picture.height > kMaxImageDimension ||
        static_cast<long long>(picture.width) * picture.height > kMaxImagePixels ||
        picture.pixels.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
      std::abort();
    }
  } else if (!(picture == before)) {
    std::abort();
  }
  return 0;
}
