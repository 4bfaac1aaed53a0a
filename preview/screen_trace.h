// What a traced canvas records while the drawers run: one tag per canvas
// pixel, set by the primitives with every pixel they draw. Only the
// primitives, ElementScope and the tracer use this.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "preview/trace.h"

// The distinct element sets met while tracing, shared by both screens of a
// preview so that one index means one set across the whole picture.
class ElementSetTable {
 public:
  // The index of `set` with `section` added.
  std::uint8_t With(std::uint8_t set, std::size_t section);
  std::vector<ElementSet> sets{ElementSet{}};
};

class ScreenTrace {
 public:
  // `storage` is memory for the tags, used again when it is large enough.
  ScreenTrace(const Skin& skin, ElementSetTable& sets, int width, int height, std::vector<PixelTag> storage = {});

  std::vector<PixelTag> tags;  // one per pixel of the canvas it is attached to, which is width x height

  // The tag of a pixel drawn now from `image` or in `colour`: the skin field
  // it is (none for anything that does not live in the skin) and the current
  // element set.
  PixelTag TagOf(const Picture& image) const { return {SourceOf(image), elements_}; }
  PixelTag TagOf(const Rgb24& colour) const { return {SourceOf(colour), elements_}; }

  // Adds the element record at `record` to the current set; gives the set
  // to return to.
  std::uint8_t Enter(const void* record);
  void Leave(std::uint8_t outer) { elements_ = outer; }

 private:
  TraceSource SourceOf(const Picture& image) const;
  TraceSource SourceOf(const Rgb24& colour) const;

  const Skin& skin_;
  ElementSetTable& sets_;
  std::uint8_t elements_ = 0;
};
