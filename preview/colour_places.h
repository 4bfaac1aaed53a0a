// The colour fields of the schema and where they live inside a Skin, so that
// the tracer can tell a colour of the skin by its address.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "skin/schema.h"

// The skin's colour fields, each a source of the trace (preview/trace.h).
inline constexpr int kColourSourceCount = 41;

// A colour field: its section and field in SkinSchema(), and where it lives
// inside a Skin. In schema order, so entry i is ColourSource(i). Only the
// tracer uses these.
struct ColourFieldPlace {
  std::size_t section = 0, field = 0;
  std::uintptr_t offset = 0;
};
const std::array<ColourFieldPlace, kColourSourceCount>& ColourFieldPlaces();
