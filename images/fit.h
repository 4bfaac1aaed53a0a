// Pictures fitted to the size a skin expects, and what an import makes of a
// picture file's alpha.
#pragma once

#include <cstdint>
#include <vector>

#include "skin/picture.h"

// What an import does with a picture whose size differs from the one the
// skin expects (the built-in picture's size).
enum class FitMode {
  Keep,     // as the file has it
  Cover,    // scaled, keeping its aspect ratio, to cover the expected size; the middle cut out
  Stretch,  // scaled to exactly the expected size
};

// A picture file as decoded, before it becomes a skin picture: its colours
// as the file holds them (8 bits a channel; transparent pixels keep their
// own colour) and its alpha, one byte a pixel, or empty when every pixel is
// opaque.
struct SourcePicture {
  Picture rgb;
  std::vector<std::uint8_t> alpha;
  // A 16-bit BMP read as it is: its colours are 15-bit already, and as long
  // as it is not scaled it is taken without reduction.
  bool direct16 = false;

  int width() const { return rgb.width; }
  int height() const { return rgb.height; }
};

// Scales to exactly width x height (both at least 1). Scaling down averages
// the covered source area: each output pixel is the coverage-weighted mean of
// the source pixels under it, in the file's 8-bit values, with alpha
// premultiplied (a transparent pixel lends no colour to its neighbours).
// Scaling up by a whole factor in each direction repeats pixels, so pixel
// art stays crisp; any other enlargement also averages by coverage. The
// result is no longer `direct16` unless its size is the source's.
SourcePicture ScalePicture(const SourcePicture& source, int width, int height);

// Keep: the source as it is. Stretch: ScalePicture to width x height. Cover:
// ScalePicture, keeping the aspect ratio, to the smallest size that covers
// width x height, then the middle width x height cut out (an odd extra pixel
// is cut from the right or bottom).
SourcePicture FitPicture(const SourcePicture& source, int width, int height, FitMode mode);

// What became of the half-transparent pixels (alpha strictly between 0 and
// 255): those with alpha of 128 or more keep their colour, the others become
// the key green like the fully transparent ones.
struct AlphaReport {
  long long halfTransparent = 0;
  long long keptOpaque = 0;

  long long madeKey() const { return halfTransparent - keptOpaque; }
};

// The skin picture: pixels with alpha below 128 become the key green
// (0, 248, 0), the others keep their colour; then reduced to 15-bit colour
// with error diffusion unless the source is `direct16`. `report`, when given,
// tells what became of the half-transparent pixels.
Picture FinishPicture(SourcePicture source, AlphaReport* report = nullptr);
