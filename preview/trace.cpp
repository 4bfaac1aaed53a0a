#include "preview/trace.h"

#include <algorithm>

#include "preview/screen_trace.h"

namespace {

constexpr int kFirstPicture = 1 + kColourSourceCount;

int IdOf(TraceSource source) { return static_cast<int>(source); }

const ColourFieldPlace& PlaceOf(TraceSource source) {
  return ColourFieldPlaces()[static_cast<std::size_t>(IdOf(source) - 1)];
}

// 1 where `in` holds for a pixel's tag, with the count and the bounds.
template <typename Predicate>
PixelMask MaskWhere(const TraceMap& map, Predicate in) {
  PixelMask m;
  m.pixels.assign(std::size_t(m.width) * std::size_t(m.height), 0);
  m.left = m.width;
  m.top = m.height;
  for (int y = 0; y < m.height; ++y) {
    const PixelTag* row = &map.at(0, y);
    std::uint8_t* out = m.pixels.data() + std::size_t(y) * std::size_t(m.width);
    int first = m.width, last = -1;
    for (int x = 0; x < m.width; ++x) {
      out[x] = in(row[x]) ? 1 : 0;
      if (out[x]) last = x, first = std::min(first, x);
    }
    if (last < 0) continue;
    m.count += static_cast<int>(std::count(out + first, out + last + 1, 1));
    m.left = std::min(m.left, first), m.right = std::max(m.right, last);
    m.top = std::min(m.top, y), m.bottom = y;
  }
  if (m.count == 0) m.left = m.top = 0;
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
  if (name == "[SkinInfo]" || name == "[global settings]") return std::nullopt;
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
