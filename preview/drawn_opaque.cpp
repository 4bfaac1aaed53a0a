// Which pictures the firmware draws without the key colour, as the preview's
// own drawers tell it, so that no second list can drift from them.
#include <memory>

#include "images/defaults.h"
#include "preview/render.h"
#include "preview/trace.h"

namespace {

// Every picture solid key green at its built-in size, on a background that
// is not: a picture drawn with the key leaves nothing of its own, so a key
// green pixel that the trace gives to a picture was drawn opaque.
std::array<bool, kImageCount> FindPicturesDrawnOpaque() {
  const auto probe = std::make_unique<Skin>();
  ResetSkinToDefaults(*probe);
  for (const CatalogueEntry& e : ImageCatalogue()) {
    probe->image(e.id) = Picture(e.builtinWidth, e.builtinHeight, kKeyGreen);
  }
  std::array<bool, kImageCount> opaque{};
  RenderWorkspace work;
  Picture preview;
  TraceMap map;
  for (int screen = 0; screen < kPreviewScreenCount; ++screen) {
    RenderPreview(*probe, screen, 1.0f, Rgb24{}, work, preview, &map);
    for (int y = 0; y < kPreviewHeight; ++y) {
      for (int x = 0; x < kPreviewWidth; ++x) {
        const TraceSource source = map.at(x, y).source;
        if (KindOf(source) == SourceKind::Picture && preview.at(x, y) == kKeyGreen) {
          opaque[static_cast<std::size_t>(ImageOf(source))] = true;
        }
      }
    }
  }
  return opaque;
}

}  // namespace

const std::array<bool, kImageCount>& PicturesDrawnOpaque() {
  static const std::array<bool, kImageCount> opaque = FindPicturesDrawnOpaque();
  return opaque;
}
