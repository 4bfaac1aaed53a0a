// The preview picture: both screens of one preview screen with the console's
// hinge between them, on the background colour, scaled by the zoom.
#pragma once

#include <array>
#include <memory>

#include "preview/filters.h"
#include "preview/preview_size.h"
#include "preview/scale.h"
#include "skin/picture.h"
#include "skin/skin.h"

inline constexpr int kPreviewScreenCount = 14;

struct ScreenPair {
  Picture upper, lower;
};

struct TraceMap;

// The memory a redraw draws in: the two screens, the preview at zoom 1, a
// filtered copy of it and the plan of its scaling. A caller that redraws
// again and again (the editor's preview) keeps one, and each redraw draws
// into the memory the last one left instead of asking the system for new.
// It holds memory, never state: the renderer still reads only the Skin, and
// every picture is what a fresh workspace gives. One thread uses a
// workspace at a time.
class RenderWorkspace {
 public:
  RenderWorkspace();
  ~RenderWorkspace();
  RenderWorkspace(RenderWorkspace&&) noexcept;
  RenderWorkspace& operator=(RenderWorkspace&&) noexcept;

  struct Parts;  // preview/render.cpp
  Parts& parts() { return *parts_; }

 private:
  std::unique_ptr<Parts> parts_;
};

// Runs the upper and then the lower drawer of a preview screen (0..13; other
// values draw screen 0). With `trace`, also notes what drew each pixel of the
// 266 x 490 preview (preview/trace.h).
ScreenPair DrawPreviewScreens(const Skin& skin, int screen, TraceMap* trace = nullptr);

// 266 x 490 at a zoom of 1.0 or less; round(266 x zoom) by round(490 x zoom),
// pixels repeated, above 1.0. With `trace`, the same drawing also fills in
// what drew each pixel at zoom 1 (preview/trace.h), for the price of a
// trace instead of a second render.
Picture RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background, TraceMap* trace = nullptr);

// The same into `out`, drawn in the workspace's memory and in the memory
// `out` has when that is enough (a redraw at the same zoom asks for none).
// A TraceMap given again keeps its memory too.
void RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background, RenderWorkspace& work, Picture& out,
                   TraceMap* trace = nullptr);

// A preview drawn at zoom 1 scaled as RenderPreview scales it.
Picture ZoomPreview(Picture atZoomOne, float zoom);
// The same into `out` (another picture than `atZoomOne`), in the memory of
// the workspace and of `out`.
void ZoomPreview(const Picture& atZoomOne, float zoom, RenderWorkspace& work, Picture& out);

// A preview drawn at zoom 1 as it is shown at `zoom`: filtered there, where
// each colour is worked once, then scaled as the preview is.
Picture FilteredAtZoom(Picture atZoomOne, ScreenFilter filter, float zoom);
// The same into `out` (another picture than `atZoomOne`), in the memory of
// the workspace and of `out`.
void FilteredAtZoom(const Picture& atZoomOne, ScreenFilter filter, float zoom, RenderWorkspace& work, Picture& out);

// The pixels of a picture as RGBA bytes (alpha 255), four a pixel, into
// `out`, which holds width x height x 4: what a page's canvas takes.
void CopyAsRgba(const Picture& picture, std::uint8_t* out);

// A preview screen (screen 0, the file browser, unless told), the upper
// screen above the lower one: 256 x 384, no hinge, no background.
Picture ComposeScreenshot(const Skin& skin, int screen = 0);

// For each picture (by ImageId), whether some preview screen draws it
// without the key colour, so that its key-green pixels show as bright green.
// Found once, by drawing the fourteen screens of a skin whose pictures are
// all key green and tracing which of them still show.
const std::array<bool, kImageCount>& PicturesDrawnOpaque();
