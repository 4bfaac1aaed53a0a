#include "edit/view_zoom.h"

#include <algorithm>
#include <cmath>

#include "preview/preview_size.h"

float SteppedZoom(float zoom, int steps, bool whole) {
  if (whole) {
    const float from = steps > 0 ? std::floor(zoom + 0.001f) : std::ceil(zoom - 0.001f);
    return std::clamp(from + float(steps), 1.0f, kLargestZoom);
  }
  for (; steps > 0 && zoom < kLargestZoom; --steps) zoom += kZoomStep;
  for (; steps < 0 && zoom > 1.0f; ++steps) zoom -= kZoomStep;
  return zoom;
}

float WholeZoomOf(float zoom) { return std::clamp(std::round(zoom), 1.0f, kLargestZoom); }

float FittingZoom(int roomWidth, int roomHeight, bool whole) {
  float zoom = std::min(float(roomWidth) / kPreviewWidth, float(roomHeight) / kPreviewHeight);
  // The size a zoom gives is rounded: the largest that still fits may be a
  // hair above the quotient, never below it.
  int width = 0, height = 0;
  PreviewSize(zoom, width, height);
  while (zoom > 1.0f && (width > roomWidth || height > roomHeight)) {
    zoom -= 0.001f;
    PreviewSize(zoom, width, height);
  }
  if (whole) zoom = std::floor(zoom);
  return std::clamp(zoom, 1.0f, kLargestZoom);
}

int WheelSteps::Add(int delta) {
  // Touchpads and fine wheels send small movements; they add up to steps.
  rest_ += delta;
  const int steps = rest_ / 120;
  rest_ -= steps * 120;
  return steps;
}
