// The preview as a way into the skin: what a point of it is, what a control
// of the panel draws on it, and how a drag or a nudge moves an element
// record. Answers come from the trace of the last redraw (preview/trace.h);
// nothing here knows a widget.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "preview/trace.h"
#include "skin/skin.h"

// Something the preview can highlight: a colour or picture source, or else
// an element record (a section index into SkinSchema()), or else every
// pixel of the skin in one 15-bit colour.
struct PreviewTarget {
  TraceSource source = TraceSource::None;
  std::optional<std::size_t> element;
  std::optional<Rgb15> colour = std::nullopt;  // every pixel of this colour (the palette)

  bool empty() const { return source == TraceSource::None && !element && !colour; }
  friend bool operator==(const PreviewTarget&, const PreviewTarget&) = default;
};

// The pixels of the zoom-1 preview `picture` (traced by `map`) that show
// `colour` and come from the skin (not the hinge or the background).
PixelMask ColourMask(const Picture& picture, const TraceMap& map, Rgb15 colour);

// The pixels of the current screen that the target draws (a source's own
// pixels; an element record's when there is no source).
PixelMask TargetMask(const TraceMap& map, const PreviewTarget& target);

// The preview screens (0..13) on which `target` draws at least one pixel of
// `skin` as it is now.
std::vector<int> ScreensDrawing(const Skin& skin, const PreviewTarget& target);

// Screens as the screen buttons number them (1 to 14), runs of three or more
// joined: "3-10, 12".
std::string ScreenNumbers(const std::vector<int>& screens);

// How many pixels of one screen each element record places, by section index.
using ElementPixels = std::array<int, 64>;
ElementPixels CountElementPixels(const TraceMap& map);

// Whether a drag can move an element record: it has both an x and a y field.
bool HasPosition(std::size_t section);

// What a click on one preview pixel finds.
struct PreviewPick {
  TraceSource source = TraceSource::None;
  ElementSet elements;
  std::optional<std::size_t> moves;  // the record a drag moves, if any

  bool empty() const { return source == TraceSource::None && elements.empty(); }
};
PreviewPick PickAt(const TraceMap& map, const ElementPixels& counts, int x, int y);

// The record of `elements` that a drag moves: of those with an x and a y,
// the one that places the fewest pixels of the screen.
std::optional<std::size_t> MovedRecord(ElementSet elements, const ElementPixels& counts);

// Names as uisettings.ini and the catalogue spell them: "formFrameColor",
// "[main list] textColor", "icon/nds", "[start menu]".
std::string SourceName(TraceSource source);
std::string SectionName(std::size_t section);
// The source and then every element record: "formFrameColor, [start menu]";
// empty when the pixel shows nothing of the skin.
std::string PickName(const PreviewPick& pick);

// The value a move of `delta` gives a position field that holds `start` and
// that the panel limits to 0..maximum: the result stays in that range, except
// that a value the skin already holds outside it is never pushed further out
// (nor snapped into the range by the mere start of a drag).
std::int32_t MovedValue(std::int32_t start, int delta, std::int32_t maximum);

// A distance on the zoomed preview as a distance on the console screen:
// divided by the zoom, rounded half away from zero.
int PreviewDistance(int zoomedDistance, float zoom);
