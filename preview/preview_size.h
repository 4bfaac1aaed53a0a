// The size of the preview picture: both screens with the hinge between them,
// at zoom 1 and at a zoom factor.
#pragma once

inline constexpr int kPreviewWidth = 266;
inline constexpr int kPreviewHeight = 490;
inline constexpr float kMaxZoom = 16.0f;  // larger factors are taken as this

// The size RenderPreview gives for a zoom factor: kPreviewWidth x
// kPreviewHeight at 1.0 or less, round(266 x zoom) by round(490 x zoom) above.
void PreviewSize(float zoom, int& width, int& height);
