#include "preview/render.h"

#include <algorithm>
#include <array>
#include <cmath>
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

ScreenPair DrawPreviewScreens(const Skin& skin, int screen, TraceMap* trace) {
  const ScreenDrawers& d = kScreens[screen >= 0 && screen < kPreviewScreenCount ? std::size_t(screen) : 0];
  Canvas upper, lower;
  if (!trace) {
    d.upper(upper, skin);
    d.lower(lower, skin);
    return {std::move(upper.picture), std::move(lower.picture)};
  }
  ElementSetTable sets;
  ScreenTrace upperTrace(skin, sets, kScreenWidth, kScreenHeight), lowerTrace(skin, sets, kScreenWidth, kScreenHeight);
  upper.trace = &upperTrace;
  lower.trace = &lowerTrace;
  d.upper(upper, skin);
  d.lower(lower, skin);
  ComposeTrace(*trace, upperTrace, lowerTrace, sets);
  return {std::move(upper.picture), std::move(lower.picture)};
}

TraceMap TracePreview(const Skin& skin, int screen) {
  TraceMap map;
  DrawPreviewScreens(skin, screen, &map);
  return map;
}

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

Picture RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background, TraceMap* trace) {
  const ScreenPair screens = DrawPreviewScreens(skin, screen, trace);
  Picture preview(kPreviewWidth, kPreviewHeight, background);
  Copy(preview, screens.upper, kScreenLeft, kUpperTop);
  Copy(preview, BuiltinPicture(BuiltinPictureId::Hinge), 0, kHingeTop);
  Copy(preview, screens.lower, kScreenLeft, kLowerTop);
  return ZoomPreview(std::move(preview), zoom);
}

Picture ZoomPreview(Picture atZoomOne, float zoom) {
  if (!(zoom > 1.0f)) return atZoomOne;
  int width = 0, height = 0;
  PreviewSize(zoom, width, height);
  return ScaleNearest(atZoomOne, width, height);
}

Picture ComposeScreenshot(const Skin& skin, int screen) {
  const ScreenPair screens = DrawPreviewScreens(skin, screen);
  Picture shot(256, 384);
  Copy(shot, screens.upper, 0, 0);
  Copy(shot, screens.lower, 0, 192);
  return shot;
}
