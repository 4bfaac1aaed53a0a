#include "preview/trace.h"

#include <algorithm>

#include "preview/colour_places.h"
#include "preview/preview_size.h"

namespace {

constexpr int kFirstPicture = 1 + kColourSourceCount;

int IdOf(TraceSource source) { return static_cast<int>(source); }

const ColourFieldPlace& PlaceOf(TraceSource source) {
  return ColourFieldPlaces()[static_cast<std::size_t>(IdOf(source) - 1)];
}

// Counts the pixels set and finds their bounds.
void Measure(PixelMask& m) {
  m.count = 0;
  m.left = m.width, m.top = m.height, m.right = m.bottom = -1;
  for (int y = 0; y < m.height; ++y) {
    const std::uint8_t* row = m.pixels.data() + std::size_t(y) * std::size_t(m.width);
    const std::uint8_t* end = row + m.width;
    const std::uint8_t* first = std::find(row, end, 1);
    if (first == end) continue;
    const std::uint8_t* last = end - 1;
    while (*last == 0) --last;
    m.count += static_cast<int>(std::count(first, last + 1, 1));
    m.left = std::min(m.left, int(first - row)), m.right = std::max(m.right, int(last - row));
    m.top = std::min(m.top, y), m.bottom = y;
  }
  if (m.count == 0) m.left = m.top = 0;
}

// 1 where `in` holds for a pixel's tag.
template <typename Predicate>
PixelMask MaskWhere(const TraceMap& map, Predicate in) {
  PixelMask m;
  m.pixels.resize(std::size_t(m.width) * std::size_t(m.height));
  for (std::size_t i = 0; i < m.pixels.size(); ++i) m.pixels[i] = in(map.tags[i]) ? 1 : 0;
  Measure(m);
  return m;
}

}  // namespace

SourceKind KindOf(TraceSource source) {
  const int id = IdOf(source);
  if (id >= 1 && id < kFirstPicture) return SourceKind::Colour;
  if (id >= kFirstPicture && id < kTraceSourceCount) return SourceKind::Picture;
  return SourceKind::None;
}

TraceSource PictureSource(ImageId id) { return static_cast<TraceSource>(kFirstPicture + static_cast<int>(id)); }

ImageId ImageOf(TraceSource source) { return static_cast<ImageId>(IdOf(source) - kFirstPicture); }

TraceSource ColourSource(int index) { return static_cast<TraceSource>(1 + index); }

const SchemaSection& ColourSection(TraceSource source) { return SkinSchema()[PlaceOf(source).section]; }

const SchemaField& ColourField(TraceSource source) {
  const ColourFieldPlace& p = PlaceOf(source);
  return SkinSchema()[p.section].fields[p.field];
}

std::optional<TraceSource> FindColourSource(std::string_view section, std::string_view key) {
  for (int i = 0; i < kColourSourceCount; ++i) {
    const TraceSource s = ColourSource(i);
    if (ColourSection(s).name == section && ColourField(s).key == key) return s;
  }
  return std::nullopt;
}

std::string DescribeSource(TraceSource source) {
  switch (KindOf(source)) {
    case SourceKind::Colour:
      return "colour " + std::string(ColourSection(source).name) + " " + std::string(ColourField(source).key);
    case SourceKind::Picture: return "picture " + std::string(CatalogueEntryOf(ImageOf(source)).name);
    case SourceKind::None: break;
  }
  return "";
}

std::vector<std::size_t> ElementSet::Sections() const {
  std::vector<std::size_t> v;
  for (std::size_t i = 0; i < 64; ++i) {
    if (Has(i)) v.push_back(i);
  }
  return v;
}

std::optional<std::size_t> FindElementSection(std::string_view name) {
  if (name == kSkinInfoSection || name == kGlobalSettingsSection) return std::nullopt;
  const auto schema = SkinSchema();
  for (std::size_t i = 0; i < schema.size(); ++i) {
    if (schema[i].name == name) return i;
  }
  return std::nullopt;
}

PixelMask SourceMask(const TraceMap& map, TraceSource source) {
  return MaskWhere(map, [source](const PixelTag& t) { return t.source == source; });
}

PixelMask ElementMask(const TraceMap& map, std::size_t section) {
  std::vector<std::uint8_t> hit(map.elementSets.size());
  for (std::size_t i = 0; i < hit.size(); ++i) hit[i] = map.elementSets[i].Has(section);
  return MaskWhere(map, [&hit](const PixelTag& t) { return hit[t.elements] != 0; });
}

bool PreviewPixelAt(float zoom, int zx, int zy, int& x, int& y) {
  int w = 0, h = 0;
  PreviewSize(zoom, w, h);
  if (zx < 0 || zy < 0 || zx >= w || zy >= h) return false;
  // The rule of ScaleNearest: target (x, y) repeats source (x * 266 / w, y * 490 / h).
  x = static_cast<int>(std::int64_t(zx) * kPreviewWidth / w);
  y = static_cast<int>(std::int64_t(zy) * kPreviewHeight / h);
  return true;
}

PixelMask ZoomMask(const PixelMask& mask, float zoom) {
  PixelMask z;
  PreviewSize(zoom, z.width, z.height);
  if (z.width == mask.width && z.height == mask.height) return mask;
  // Pixels repeated by the rule of ScaleNearest, so that the highlight
  // covers exactly the zoomed pixels it stands for: target x shows source
  // x * source width / width. Each source row is zoomed once and copied
  // down as often as it repeats.
  std::vector<int> columns(static_cast<std::size_t>(z.width));
  for (int x = 0; x < z.width; ++x) columns[std::size_t(x)] = int(std::int64_t(x) * mask.width / z.width);
  z.pixels.resize(std::size_t(z.width) * std::size_t(z.height));
  std::vector<std::uint8_t> line(static_cast<std::size_t>(z.width));
  int lineOf = -1, lineCount = 0;
  for (int y = 0; y < z.height; ++y) {
    const int sy = int(std::int64_t(y) * mask.height / z.height);
    if (sy != lineOf) {
      const std::uint8_t* src = mask.pixels.data() + std::size_t(sy) * std::size_t(mask.width);
      for (int x = 0; x < z.width; ++x) line[std::size_t(x)] = src[columns[std::size_t(x)]];
      lineCount = static_cast<int>(std::count(line.begin(), line.end(), 1));
      lineOf = sy;
    }
    std::copy(line.begin(), line.end(), z.pixels.begin() + std::ptrdiff_t(y) * z.width);
    z.count += lineCount;
  }
  if (z.count == 0) return z;
  // The first and the last target pixel that repeat a source pixel.
  const auto first = [](int s, int from, int to) { return int((std::int64_t(s) * to + from - 1) / from); };
  const auto last = [](int s, int from, int to) { return int(((std::int64_t(s) + 1) * to - 1) / from); };
  z.left = first(mask.left, mask.width, z.width), z.right = last(mask.right, mask.width, z.width);
  z.top = first(mask.top, mask.height, z.height), z.bottom = last(mask.bottom, mask.height, z.height);
  return z;
}
