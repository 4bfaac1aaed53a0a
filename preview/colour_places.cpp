#include "preview/colour_places.h"

namespace {

std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

}  // namespace

const std::array<ColourFieldPlace, kColourSourceCount>& ColourFieldPlaces() {
  static const std::array<ColourFieldPlace, kColourSourceCount> places = [] {
    static Skin probe;
    std::array<ColourFieldPlace, kColourSourceCount> a{};
    std::size_t n = 0;
    const auto schema = SkinSchema();
    for (std::size_t s = 0; s < schema.size(); ++s) {
      for (std::size_t f = 0; f < schema[s].fields.size(); ++f) {
        const SchemaField& field = schema[s].fields[f];
        if (field.kind != FieldKind::Colour || n == a.size()) continue;
        a[n++] = {s, f, Address(field.colour(probe)) - Address(&probe)};
      }
    }
    return a;
  }();
  return places;
}
