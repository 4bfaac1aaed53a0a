#include "edit/preview_pick.h"

#include <algorithm>
#include <cmath>

#include "preview/render.h"
#include "skin/catalogue.h"
#include "skin/schema.h"

namespace {

bool HasField(std::size_t section, std::string_view key) {
  const auto fields = SkinSchema()[section].fields;
  return std::any_of(fields.begin(), fields.end(), [key](const SchemaField& f) { return f.key == key; });
}

}  // namespace

PixelMask TargetMask(const TraceMap& map, const PreviewTarget& target) {
  if (target.source != TraceSource::None) return SourceMask(map, target.source);
  if (target.element) return ElementMask(map, *target.element);
  PixelMask none;
  none.pixels.assign(std::size_t(none.width) * std::size_t(none.height), 0);
  return none;
}

PixelMask ColourMask(const Picture& picture, const TraceMap& map, Rgb15 colour) {
  PixelMask mask;
  mask.pixels.assign(std::size_t(mask.width) * std::size_t(mask.height), 0);
  if (picture.width != mask.width || picture.height != mask.height || map.tags.size() != mask.pixels.size()) {
    return mask;
  }
  for (int y = 0; y < mask.height; ++y) {
    const Rgb24* row = picture.row(y);
    for (int x = 0; x < mask.width; ++x) {
      if (map.at(x, y).source == TraceSource::None || Rgb24ToRgb15(row[x]) != colour) continue;
      mask.pixels[std::size_t(y) * std::size_t(mask.width) + std::size_t(x)] = 1;
      ++mask.count;
      if (mask.count == 1) mask.left = mask.right = x, mask.top = mask.bottom = y;
      mask.left = std::min(mask.left, x), mask.right = std::max(mask.right, x);
      mask.top = std::min(mask.top, y), mask.bottom = std::max(mask.bottom, y);
    }
  }
  return mask;
}

std::vector<int> ScreensDrawing(const Skin& skin, const PreviewTarget& target) {
  std::vector<int> screens;
  for (int screen = 0; screen < kPreviewScreenCount; ++screen) {
    if (!target.empty() && TargetMask(TracePreview(skin, screen), target).count > 0) screens.push_back(screen);
  }
  return screens;
}

std::string ScreenNumbers(const std::vector<int>& screens) {
  std::string text;
  for (std::size_t i = 0; i < screens.size();) {
    std::size_t end = i + 1;
    while (end < screens.size() && screens[end] == screens[end - 1] + 1) ++end;
    const std::string first = std::to_string(screens[i] + 1), last = std::to_string(screens[end - 1] + 1);
    if (!text.empty()) text += ", ";
    if (end - i >= 3) text += first + "-" + last;
    else {
      text += first;
      if (end - i == 2) text += ", " + last;
    }
    i = end;
  }
  return text;
}

ElementPixels CountElementPixels(const TraceMap& map) {
  std::vector<int> perSet(map.elementSets.size(), 0);
  for (const PixelTag& t : map.tags) ++perSet[t.elements];
  ElementPixels counts{};
  for (std::size_t i = 1; i < perSet.size(); ++i) {
    for (std::size_t section : map.elementSets[i].Sections()) counts[section] += perSet[i];
  }
  return counts;
}

bool HasPosition(std::size_t section) {
  return section < SkinSchema().size() && HasField(section, "x") && HasField(section, "y");
}

// Records nest: a submenu is drawn inside the scope of [start menu] and a
// second-level box inside that of [Syset menu], so every pixel that names an
// inner record names its outer ones too, and the inner record places fewer
// pixels. The fewest pixels is therefore the innermost record that can move:
// the one the user took hold of. Moving it moves what was grabbed and leaves
// its surroundings; moving an outer record would carry the whole menu along.
// A tie (two records placing exactly the same pixels) goes to the later one
// in file order, where the submenus stand after the menus that hold them.
std::optional<std::size_t> MovedRecord(ElementSet elements, const ElementPixels& counts) {
  std::optional<std::size_t> best;
  for (std::size_t section : elements.Sections()) {
    if (!HasPosition(section)) continue;
    if (!best || counts[section] <= counts[*best]) best = section;
  }
  return best;
}

PreviewPick PickAt(const TraceMap& map, const ElementPixels& counts, int x, int y) {
  PreviewPick pick;
  if (x < 0 || y < 0 || x >= kPreviewWidth || y >= kPreviewHeight) return pick;
  pick.source = map.at(x, y).source;
  pick.elements = map.ElementsAt(x, y);
  pick.moves = MovedRecord(pick.elements, counts);
  return pick;
}

std::string SourceName(TraceSource source) {
  switch (KindOf(source)) {
    case SourceKind::Colour: {
      const std::string key(ColourField(source).key);
      const std::string_view section = ColourSection(source).name;
      return section == kGlobalSettingsSection ? key : std::string(section) + " " + key;
    }
    case SourceKind::Picture: return std::string(CatalogueEntryOf(ImageOf(source)).name);
    case SourceKind::None: break;
  }
  return {};
}

std::string SectionName(std::size_t section) {
  return section < SkinSchema().size() ? std::string(SkinSchema()[section].name) : std::string();
}

std::string PickName(const PreviewPick& pick) {
  std::string name = SourceName(pick.source);
  for (std::size_t section : pick.elements.Sections()) name += (name.empty() ? "" : ", ") + SectionName(section);
  return name;
}

std::int32_t MovedValue(std::int32_t start, int delta, std::int32_t maximum) {
  const std::int64_t wanted = std::int64_t(start) + delta;
  const std::int64_t low = std::min<std::int64_t>(0, start), high = std::max<std::int64_t>(maximum, start);
  return static_cast<std::int32_t>(std::clamp(wanted, low, high));
}

int PreviewDistance(int zoomedDistance, float zoom) {
  // At 1.0 or less the preview is shown unscaled.
  const double scale = zoom > 1.0f ? double(zoom) : 1.0;
  return static_cast<int>(std::lround(zoomedDistance / scale));
}
