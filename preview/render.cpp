#include "preview/render.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "images/defaults.h"
#include "preview/canvas.h"
#include "preview/scale.h"
#include "preview/screen_trace.h"
#include "preview/screens.h"
#include "preview/trace.h"

namespace {

struct ScreenDrawers {
  void (*upper)(Canvas&, const Skin&);
  void (*lower)(Canvas&, const Skin&);
};

constexpr std::array<ScreenDrawers, kPreviewScreenCount> kScreens = {{
    {DrawGameInformation, DrawIconViewScreen},
    {DrawFolderInformation, DrawListViewScreen},
    {DrawGameInformation, DrawFileOperationMenuScreen},
    {DrawGameInformation, DrawDeleteConfirmScreen},
    {DrawGameInformation, DrawSkinMenuScreen},
    {DrawGameInformation, DrawStyleWarningScreen},
    {DrawGameInformation, DrawLanguageMenuScreen},
    {DrawGameInformation, DrawLanguageQuestionScreen},
    {DrawGameInformation, DrawDisplayMenuScreen},
    {DrawGameInformation, DrawBrightnessMenuScreen},
    {DrawGameInformation, DrawHotkeyScreen},
    {DrawGameInformation, DrawHelpScreen},
    {DrawGameInformation, DrawGameSettingsScreen},
    {DrawGameInformation, DrawCheatListScreen},
}};

constexpr int kScreenLeft = 5, kUpperTop = 5, kHingeTop = 202, kLowerTop = 293;

// Copies `source` to (x, y), x and y not negative, cut at the target's edges.
void Copy(Picture& target, const Picture& source, int x, int y) {
  if (source.pixels.size() != std::size_t(source.width) * std::size_t(source.height)) return;
  const int w = std::min(source.width, target.width - x), h = std::min(source.height, target.height - y);
  for (int r = 0; r < h && w > 0; ++r) {
    std::memcpy(target.row(y + r) + x, source.row(r), std::size_t(w) * sizeof(Rgb24));
  }
}

// `picture` made `width` x `height` of `fill`, in the memory it has when
// that is enough. Filled by copying what is filled already, in doubling
// pieces: a three-byte pixel at a time is several times slower where the
// compiler does not turn the loop into wide stores (WebAssembly).
void Refill(Picture& picture, int width, int height, Rgb24 fill) {
  picture.width = width;
  picture.height = height;
  const std::size_t count = std::size_t(width) * std::size_t(height);
  picture.pixels.resize(count);
  if (count == 0) return;
  Rgb24* p = picture.pixels.data();
  p[0] = fill;
  for (std::size_t done = 1; done < count;) {
    const std::size_t more = std::min(done, count - done);
    std::memcpy(p + done, p, more * sizeof(Rgb24));
    done += more;
  }
}

// The screens' tags at their places in the preview; the margin and the hinge
// have none.
void ComposeTrace(TraceMap& map, const ScreenTrace& upper, const ScreenTrace& lower, ElementSetTable& sets) {
  map.tags.assign(std::size_t(kPreviewWidth) * kPreviewHeight, PixelTag{});
  for (int y = 0; y < kScreenHeight; ++y) {
    const auto row = [y](const ScreenTrace& t) { return t.tags.begin() + std::ptrdiff_t(y) * kScreenWidth; };
    std::copy(row(upper), row(upper) + kScreenWidth, map.tags.begin() + (kUpperTop + y) * kPreviewWidth + kScreenLeft);
    std::copy(row(lower), row(lower) + kScreenWidth, map.tags.begin() + (kLowerTop + y) * kPreviewWidth + kScreenLeft);
  }
  map.elementSets = std::move(sets.sets);
}

}  // namespace

struct RenderWorkspace::Parts {
  Canvas upper, lower;                         // black again before each redraw
  std::vector<PixelTag> upperTags, lowerTags;  // the screens' traces, when traced
  Picture composed;                            // the preview at zoom 1, before it is scaled
  Picture filtered;                            // a filtered preview at zoom 1, before it is scaled
  ScaleWork scale;
};

RenderWorkspace::RenderWorkspace() : parts_(std::make_unique<Parts>()) {}
RenderWorkspace::~RenderWorkspace() = default;
RenderWorkspace::RenderWorkspace(RenderWorkspace&&) noexcept = default;
RenderWorkspace& RenderWorkspace::operator=(RenderWorkspace&&) noexcept = default;

namespace {

// Runs the drawers of a preview screen on the workspace's canvases, each
// black as a new one is.
void DrawScreens(const Skin& skin, int screen, RenderWorkspace::Parts& p, TraceMap* trace) {
  const ScreenDrawers& d = kScreens[screen >= 0 && screen < kPreviewScreenCount ? std::size_t(screen) : 0];
  for (Canvas* c : {&p.upper, &p.lower}) {
    Refill(c->picture, kScreenWidth, kScreenHeight, Rgb24{});
    c->trace = nullptr;
  }
  if (!trace) {
    d.upper(p.upper, skin);
    d.lower(p.lower, skin);
    return;
  }
  ElementSetTable sets;
  ScreenTrace upperTrace(skin, sets, kScreenWidth, kScreenHeight, std::move(p.upperTags));
  ScreenTrace lowerTrace(skin, sets, kScreenWidth, kScreenHeight, std::move(p.lowerTags));
  p.upper.trace = &upperTrace;
  p.lower.trace = &lowerTrace;
  d.upper(p.upper, skin);
  d.lower(p.lower, skin);
  p.upper.trace = p.lower.trace = nullptr;
  ComposeTrace(*trace, upperTrace, lowerTrace, sets);
  p.upperTags = std::move(upperTrace.tags);
  p.lowerTags = std::move(lowerTrace.tags);
}

}  // namespace

ScreenPair DrawPreviewScreens(const Skin& skin, int screen, TraceMap* trace) {
  RenderWorkspace work;
  RenderWorkspace::Parts& p = work.parts();
  DrawScreens(skin, screen, p, trace);
  return {std::move(p.upper.picture), std::move(p.lower.picture)};
}

TraceMap TracePreview(const Skin& skin, int screen) {
  TraceMap map;
  DrawPreviewScreens(skin, screen, &map);
  return map;
}

void RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background, RenderWorkspace& work, Picture& out,
                   TraceMap* trace) {
  RenderWorkspace::Parts& p = work.parts();
  DrawScreens(skin, screen, p, trace);
  // At zoom 1 the preview is composed where it is wanted; above, it is
  // composed in the workspace and scaled to where it is wanted.
  const bool zoomed = zoom > 1.0f;
  Picture& preview = zoomed ? p.composed : out;
  Refill(preview, kPreviewWidth, kPreviewHeight, background);
  Copy(preview, p.upper.picture, kScreenLeft, kUpperTop);
  Copy(preview, BuiltinPicture(BuiltinPictureId::Hinge), 0, kHingeTop);
  Copy(preview, p.lower.picture, kScreenLeft, kLowerTop);
  if (zoomed) ZoomPreview(p.composed, zoom, work, out);
}

Picture RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background, TraceMap* trace) {
  RenderWorkspace work;
  Picture atZoomOne;
  RenderPreview(skin, screen, 1.0f, background, work, atZoomOne, trace);
  // Scaled into fresh memory, which needs no filling before it is written.
  return ZoomPreview(std::move(atZoomOne), zoom);
}

void ZoomPreview(const Picture& atZoomOne, float zoom, RenderWorkspace& work, Picture& out) {
  if (!(zoom > 1.0f)) {
    out = atZoomOne;
    return;
  }
  int width = 0, height = 0;
  PreviewSize(zoom, width, height);
  ScaleNearest(atZoomOne, width, height, work.parts().scale, out);
}

Picture ZoomPreview(Picture atZoomOne, float zoom) {
  if (!(zoom > 1.0f)) return atZoomOne;
  int width = 0, height = 0;
  PreviewSize(zoom, width, height);
  return ScaleNearest(atZoomOne, width, height);
}

void FilteredAtZoom(const Picture& atZoomOne, ScreenFilter filter, float zoom, RenderWorkspace& work, Picture& out) {
  Picture& filtered = zoom > 1.0f ? work.parts().filtered : out;
  filtered = atZoomOne;
  ApplyScreenFilter(filtered, filter);
  if (zoom > 1.0f) ZoomPreview(filtered, zoom, work, out);
}

Picture FilteredAtZoom(Picture atZoomOne, ScreenFilter filter, float zoom) {
  ApplyScreenFilter(atZoomOne, filter);
  return ZoomPreview(std::move(atZoomOne), zoom);
}

Picture ComposeScreenshot(const Skin& skin, int screen) {
  const ScreenPair screens = DrawPreviewScreens(skin, screen);
  Picture shot(256, 384);
  Copy(shot, screens.upper, 0, 0);
  Copy(shot, screens.lower, 0, 192);
  return shot;
}

void CopyAsRgba(const Picture& picture, std::uint8_t* out) {
  for (const Rgb24& p : picture.pixels) {
    out[0] = p.r;
    out[1] = p.g;
    out[2] = p.b;
    out[3] = 0xFF;
    out += 4;
  }
}
