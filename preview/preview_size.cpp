#include "preview/preview_size.h"

#include <cmath>

void PreviewSize(float zoom, int& width, int& height) {
  if (!(zoom > 1.0f)) {
    width = kPreviewWidth;
    height = kPreviewHeight;
    return;
  }
  // The editor's wheel stops near 5; anything above 16 would only ask for
  // gigabytes.
  zoom = std::fmin(zoom, kMaxZoom);
  // Single-precision products, rounded to the nearest integer, halves to even.
  const float w = static_cast<float>(kPreviewWidth) * zoom;
  const float h = static_cast<float>(kPreviewHeight) * zoom;
  width = static_cast<int>(std::nearbyint(w));
  height = static_cast<int>(std::nearbyint(h));
}
