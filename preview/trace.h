// What draws a pixel of the preview.
//
// A trace runs the same drawers as RenderPreview and notes, for every pixel of
// the 266 x 490 preview picture at zoom 1:
// - its source: the colour field or the skin picture whose value the pixel
//   shows. The preview blends nothing, so there is at most one. A field is
//   the source of a pixel exactly when changing it changes the pixel: a colour
//   to another value; a picture's pixels to other values, each key-green pixel
//   staying key green. So a key-green pixel of a picture drawn with the key is
//   no pixel of that picture (what lies under it is), while one of a picture
//   drawn opaque is. The hinge, the built-in sample game icon, white texts and
//   the margin around the screens have no source.
// - its elements: the element records ([start menu], [reback btn], ...) whose
//   numbers place the drawing the pixel shows, where there are any. The
//   sample game icon has no source but is placed by [logo info].
//
// Colour fields and element records are named as the skin's schema
// (skin/schema.h) names them, pictures by their ImageId and catalogue name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "preview/colour_places.h"
#include "preview/preview_size.h"
#include "skin/catalogue.h"
#include "skin/schema.h"
#include "skin/skin.h"

// 0 is no source; 1 to 41 are the colour fields in the schema's order;
// 42 to 94 the pictures in catalogue order.
enum class TraceSource : std::uint8_t { None = 0 };

inline constexpr int kTraceSourceCount = 1 + kColourSourceCount + static_cast<int>(kImageCount);

enum class SourceKind { None, Colour, Picture };

SourceKind KindOf(TraceSource source);

// Pictures.
TraceSource PictureSource(ImageId id);
ImageId ImageOf(TraceSource source);  // a Picture source only

// Colour fields: the schema's section ("[global settings]") and field
// (key "formFrameColor"; field.colour(skin) is the value).
TraceSource ColourSource(int index);  // 0 .. kColourSourceCount - 1, schema order
const SchemaSection& ColourSection(TraceSource source);  // a Colour source only
const SchemaField& ColourField(TraceSource source);      // a Colour source only
std::optional<TraceSource> FindColourSource(std::string_view section, std::string_view key);

// "colour [global settings] formFrameColor", "picture icon/nds", "" for none.
std::string DescribeSource(TraceSource source);

// A set of element records, each named by its index in SkinSchema().
struct ElementSet {
  std::uint64_t bits = 0;  // bit i: SkinSchema()[i]

  bool empty() const { return bits == 0; }
  bool Has(std::size_t section) const { return section < 64 && ((bits >> section) & 1u) != 0; }
  std::vector<std::size_t> Sections() const;  // ascending, that is in file order
  friend bool operator==(ElementSet, ElementSet) = default;
};

// The index in SkinSchema() of an element section by its name ("[start
// menu]"); none for "[SkinInfo]", "[global settings]" and unknown names.
std::optional<std::size_t> FindElementSection(std::string_view name);

// One pixel's answer: its source and an index into TraceMap::elementSets.
struct PixelTag {
  TraceSource source = TraceSource::None;
  std::uint8_t elements = 0;
  friend bool operator==(PixelTag, PixelTag) = default;
};

// The answer for every pixel of one preview screen.
struct TraceMap {
  std::vector<PixelTag> tags;           // kPreviewWidth x kPreviewHeight, rows top to bottom
  std::vector<ElementSet> elementSets;  // by PixelTag::elements; [0] is the empty set

  const PixelTag& at(int x, int y) const { return tags[std::size_t(y) * kPreviewWidth + std::size_t(x)]; }
  ElementSet ElementsAt(int x, int y) const { return elementSets[at(x, y).elements]; }
};

// Traces one preview screen (0..13; other values trace screen 0) of `skin`.
// Costs about as much as drawing the screen: well under a millisecond
// (bench/trace_bench.cpp).
TraceMap TracePreview(const Skin& skin, int screen);

// The pixels of one screen's preview that a source or an element record
// draws, for a highlight: 1 where it does, 0 elsewhere, and their bounds.
struct PixelMask {
  int width = kPreviewWidth, height = kPreviewHeight;
  std::vector<std::uint8_t> pixels;  // width x height
  int count = 0;                     // pixels set
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive bounds; right < left when empty
};
PixelMask SourceMask(const TraceMap& map, TraceSource source);
PixelMask ElementMask(const TraceMap& map, std::size_t section);

// A zoom-1 mask at the size RenderPreview gives for `zoom`, each pixel
// repeated exactly as the preview's pixels are.
PixelMask ZoomMask(const PixelMask& mask, float zoom);

// The zoom-1 preview pixel that a pixel of the picture RenderPreview gives at
// `zoom` repeats; false when (zx, zy) lies outside that picture.
bool PreviewPixelAt(float zoom, int zx, int zy, int& x, int& y);
