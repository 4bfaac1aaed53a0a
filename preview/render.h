// The preview picture: both screens of one preview screen with the console's
// hinge between them, on the background colour, scaled by the zoom.
#pragma once

#include <array>

#include "skin/picture.h"
#include "preview/scale.h"
#include "skin/skin.h"

inline constexpr int kPreviewScreenCount = 14;
inline constexpr int kPreviewWidth = 266;
inline constexpr int kPreviewHeight = 490;
inline constexpr float kMaxZoom = 16.0f;  // larger factors are taken as this

struct ScreenPair {
  Picture upper, lower;
};

struct TraceMap;

// Runs the upper and then the lower drawer of a preview screen (0..13; other
// values draw screen 0). With `trace`, also notes what drew each pixel of the
// 266 x 490 preview (preview/trace.h).
ScreenPair DrawPreviewScreens(const Skin& skin, int screen, TraceMap* trace = nullptr);

// 266 x 490 at a zoom of 1.0 or less; round(266 x zoom) by round(490 x zoom),
// pixels repeated, above 1.0. With `trace`, the same drawing also fills in
// what drew each pixel at zoom 1 (preview/trace.h), for the price of a
// trace instead of a second render.
Picture RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background, TraceMap* trace = nullptr);

// The size RenderPreview gives for a zoom factor.
void PreviewSize(float zoom, int& width, int& height);

// A preview drawn at zoom 1 scaled as RenderPreview scales it.
Picture ZoomPreview(Picture atZoomOne, float zoom);

// A preview screen (screen 0, the file browser, unless told), the upper
// screen above the lower one: 256 x 384, no hinge, no background.
Picture ComposeScreenshot(const Skin& skin, int screen = 0);

// For each picture (by ImageId), whether some preview screen draws it
// without the key colour, so that its key-green pixels show as bright green.
// Found once, by drawing the fourteen screens of a skin whose pictures are
// all key green and tracing which of them still show.
const std::array<bool, kImageCount>& PicturesDrawnOpaque();
