// Colour work over a whole skin: the palette of the 15-bit colours it uses,
// replacing colours everywhere, and recolouring by hue, saturation and
// lightness. Plain functions over the skin, shared by skintool and the
// editor (which only adds the live preview). A pixel's or a field's colour
// counts by its 15-bit value, the low three bits of each channel dropped, as
// a save writes it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "skin/catalogue.h"
#include "skin/colour.h"
#include "skin/skin.h"

// The visible green a recoloured pixel takes instead of the key colour.
inline constexpr Rgb15 kNextToKeyColour15 = 30 << 5;

// One colour of the palette: how often it is used, and where.
struct PaletteEntry {
  Rgb15 colour = 0;
  long long count = 0;  // picture pixels of that value plus the colour fields holding it
  std::vector<std::pair<std::string, std::string>> fields;  // section and key, in file order
  std::vector<std::pair<ImageId, long long>> pictures;      // pixels of that value, in catalogue order
  bool key() const { return colour == kKeyColour15; }
};

// Every 15-bit colour the skin uses, in its colour fields and in the pixels
// of its 53 pictures, sorted by count (most used first), then by value.
std::vector<PaletteEntry> SkinPalette(const Skin& skin);

// 15-bit values to their replacements, all applied at once (a map of 1 to 2
// and 2 to 3 turns 1 into 2 and 2 into 3).
using ColourMap = std::map<Rgb15, Rgb15>;

// Replaces exactly those 15-bit values in every picture and colour field;
// everything else stays as it is, low bits included. True when anything changed.
bool ReplaceColours(Skin& skin, const ColourMap& map);

// A shift of hue (degrees, -180..180), saturation and lightness (-100..100).
struct HslShift {
  int hue = 0, saturation = 0, lightness = 0;
  bool none() const { return hue == 0 && saturation == 0 && lightness == 0; }
  friend bool operator==(const HslShift&, const HslShift&) = default;
};

// One 15-bit colour recoloured: its channels as v / 31, converted to HSL by
// the CSS Color 4 formulas (hue 0 for a grey), the hue shifted modulo 360,
// the saturation and lightness shifted by value / 100 and clamped to 0..1,
// converted back, each channel rounded to the nearest 5-bit value
// (floor(f * 31 + 0.5)). A shift of 0, 0, 0 gives the colour back.
Rgb15 RecolourColour(Rgb15 colour, const HslShift& shift);

enum class RecolourScope { Everything, Pictures, Fields };

// Recolours the skin colour by colour, with no dithering, so a flat area
// stays flat. Key-green pixels of pictures never change, no other pixel
// becomes key green (it would vanish; it gets kNextToKeyColour15 instead),
// and a pixel whose colour maps to itself keeps its low bits. A shift of 0, 0, 0 changes
// nothing. True when anything changed.
bool RecolourSkin(Skin& skin, const HslShift& shift, RecolourScope scope);
