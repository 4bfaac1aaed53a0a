// Any bytes as a picture file: decoding (direct 16-bit BMP, BMP, PNG or JPEG)
// must not fail in any way but by refusing; an accepted picture must be
// within the size limits and hold exactly width x height pixels, and a
// refused one must leave the output alone. Decoded for an import instead,
// the same bytes must give the same verdict, an alpha plane of one byte a
// pixel or none, and once finished the very picture opening gives; fitted
// to a small size, a picture of exactly that size.
#include <cstdlib>
#include <string_view>

#include "images/decode.h"
#include "images/fit.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const Picture before(1, 1, Rgb24{1, 2, 3});
  Picture pic = before;
  const DecodeResult result = DecodeSkinImage(bytes, true, pic);
  if (result) {
    if (!CheckPictureLimits(pic.width, pic.height) || pic.width <= 0 || pic.height <= 0 ||
        pic.pixels.size() != std::size_t(pic.width) * std::size_t(pic.height)) {
      std::abort();
    }
  } else if (!(pic == before)) {
    std::abort();
  }

  SourcePicture source;
  source.rgb = before;
  const DecodeResult sourceResult = DecodeSource(bytes, source);
  if (sourceResult.kind != result.kind) std::abort();
  if (!sourceResult) {
    if (!(source.rgb == before) || !source.alpha.empty()) std::abort();
    return 0;
  }
  if (!source.alpha.empty() && source.alpha.size() != source.rgb.pixels.size()) std::abort();
  const int w = 1 + static_cast<int>(size % 7), h = 1 + static_cast<int>(size % 5);
  for (const FitMode mode : {FitMode::Cover, FitMode::Stretch}) {
    const Picture fitted = FinishPicture(FitPicture(source, w, h, mode));
    if (fitted.width != w || fitted.height != h || fitted.pixels.size() != std::size_t(w) * std::size_t(h)) {
      std::abort();
    }
  }
  if (!(FinishPicture(std::move(source)) == pic)) std::abort();
  return 0;
}
