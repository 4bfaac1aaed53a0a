// Nearest-neighbour scaling of the preview picture.
#pragma once

#include <memory>

#include "skin/picture.h"

// What scaling keeps from one call to the next, so that scaling again draws
// into memory it already has: the plan of a row (which source pixel each
// target pixel repeats) for the last pair of widths, and the row buffers.
// Memory only: the result is what fresh work gives.
class ScaleWork {
 public:
  ScaleWork();
  ~ScaleWork();
  ScaleWork(ScaleWork&&) noexcept;
  ScaleWork& operator=(ScaleWork&&) noexcept;

  struct Parts;  // preview/scale.cpp
  Parts& parts() { return *parts_; }

 private:
  std::unique_ptr<Parts> parts_;
};

// Every target pixel repeats one source pixel: target (x, y) shows source
// (x * sourceWidth / width, y * sourceHeight / height). Never blended.
Picture ScaleNearest(const Picture& source, int width, int height);

// The same into `out` (another picture than `source`), whose memory is
// used again when it is large enough.
void ScaleNearest(const Picture& source, int width, int height, ScaleWork& work, Picture& out);

// A thumbnail at half size: each pixel the mean of a 2 x 2 block (rounded),
// so that a one-pixel line still shows, dimmer, instead of vanishing. An odd
// last row or column is left out.
Picture HalfSizePicture(const Picture& picture);
