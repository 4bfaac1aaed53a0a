#include "preview/render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "images/defaults.h"
#include "preview/canvas.h"
#include "preview/scale.h"
#include "preview/screens.h"

namespace {

struct ScreenDrawers {
  Picture (*upper)(const Skin&);
  Picture (*lower)(const Skin&);
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

void Copy(Picture& target, const Picture& source, int x, int y) {
  DrawSkinImage(target, source, x, y, Blit::Opaque);
}

}  // namespace

ScreenPair DrawPreviewScreens(const Skin& skin, int screen) {
  const ScreenDrawers& d = kScreens[screen >= 0 && screen < kPreviewScreenCount ? std::size_t(screen) : 0];
  ScreenPair pair;
  pair.upper = d.upper(skin);
  pair.lower = d.lower(skin);
  return pair;
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

Picture RenderPreview(const Skin& skin, int screen, float zoom, Rgb24 background) {
  const ScreenPair screens = DrawPreviewScreens(skin, screen);
  Picture preview(kPreviewWidth, kPreviewHeight, background);
  Copy(preview, screens.upper, 5, 5);
  Copy(preview, BuiltinPicture(BuiltinPictureId::Hinge), 0, 202);
  Copy(preview, screens.lower, 5, 293);
  if (!(zoom > 1.0f)) return preview;
  int width = 0, height = 0;
  PreviewSize(zoom, width, height);
  return ScaleNearest(preview, width, height);
}

Picture ComposeScreenshot(const Skin& skin) {
  const ScreenPair screens = DrawPreviewScreens(skin, 0);
  Picture shot(256, 384);
  Copy(shot, screens.upper, 0, 0);
  Copy(shot, screens.lower, 0, 192);
  return shot;
}
