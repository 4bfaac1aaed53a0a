#include "preview/screen_trace.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "preview/colour_places.h"

namespace {

std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// Where each element record lives inside a Skin, by its first field: the
// schema lists every record's fields from its first member on.
struct RecordPlace {
  std::uintptr_t offset;
  std::size_t section;
};

const std::vector<RecordPlace>& RecordPlaces() {
  static const std::vector<RecordPlace> places = [] {
    static Skin probe;
    std::vector<RecordPlace> v;
    const auto schema = SkinSchema();
    for (std::size_t i = 0; i < schema.size(); ++i) {
      if (!FindElementSection(schema[i].name)) continue;
      const SchemaField& first = schema[i].fields.front();
      const void* at = first.kind == FieldKind::Colour ? static_cast<const void*>(first.colour(probe))
                                                       : static_cast<const void*>(first.number(probe));
      v.push_back({Address(at) - Address(&probe), i});
    }
    return v;
  }();
  return places;
}

}  // namespace

std::uint8_t ElementSetTable::With(std::uint8_t set, std::size_t section) {
  const ElementSet wanted{sets[set].bits | (std::uint64_t(1) << section)};
  const auto it = std::find(sets.begin(), sets.end(), wanted);
  if (it != sets.end()) return static_cast<std::uint8_t>(it - sets.begin());
  // The drawers nest a handful of fixed scopes, so a screen meets a few
  // dozen sets at most; past 256 the outer set stands in.
  if (sets.size() > 255) return set;
  sets.push_back(wanted);
  return static_cast<std::uint8_t>(sets.size() - 1);
}

ScreenTrace::ScreenTrace(const Skin& skin, ElementSetTable& sets, int width, int height,
                         std::vector<PixelTag> storage)
    : tags(std::move(storage)), skin_(skin), sets_(sets) {
  tags.assign(std::size_t(width) * std::size_t(height), PixelTag{});
}

std::uint8_t ScreenTrace::Enter(const void* record) {
  const std::uint8_t outer = elements_;
  const std::uintptr_t offset = Address(record) - Address(&skin_);
  for (const RecordPlace& p : RecordPlaces()) {
    if (p.offset == offset) elements_ = sets_.With(outer, p.section);
  }
  return outer;
}

// A picture is the skin's when it is one of the skin's 53; the built-in
// pictures and scratch copies are not.
TraceSource ScreenTrace::SourceOf(const Picture& image) const {
  const std::uintptr_t first = Address(skin_.images.data()), at = Address(&image);
  if (at < first || at >= first + sizeof(skin_.images)) return TraceSource::None;
  return PictureSource(static_cast<ImageId>((at - first) / sizeof(Picture)));
}

// A colour is the skin's when it is one of the skin's colour fields; a
// constant such as the white of the hotkey submenu is not.
TraceSource ScreenTrace::SourceOf(const Rgb24& colour) const {
  const std::uintptr_t offset = Address(&colour) - Address(&skin_);
  if (Address(&colour) < Address(&skin_) || offset >= sizeof(Skin)) return TraceSource::None;
  const auto& places = ColourFieldPlaces();
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (places[i].offset == offset) return ColourSource(static_cast<int>(i));
  }
  return TraceSource::None;
}
