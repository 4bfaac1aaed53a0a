#include "images/colour_work.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "skin/schema.h"

namespace {

constexpr std::size_t kColours15 = 1u << 15;

// Every colour field of the skin, in file order, with its section.
template <typename Visit>
void ForEachColourField(Skin& skin, Visit visit) {
  for (const SchemaSection& section : SkinSchema()) {
    for (const SchemaField& field : section.fields) {
      if (field.kind == FieldKind::Colour) visit(section, field, *field.colour(skin));
    }
  }
}

// A 15-bit value to what it becomes, or -1 where it stays.
using ColourTable = std::array<std::int32_t, kColours15>;

// Maps every pixel of the pictures and every colour field through `to`
// (value -> new value, or -1 to leave it); a pixel or field that changes
// becomes exactly the new value's colour. With `keepKey`, key-green pixels
// stay and no other pixel becomes key green: one that would is given the
// green just below it, which looks the same but still shows. True when any
// byte changed.
template <typename To>
bool MapSkinColours(Skin& skin, bool pictures, bool fields, bool keepKey, To to) {
  bool changed = false;
  const auto map = [&](Rgb24& c, bool picture) {
    const Rgb15 v = Rgb24ToRgb15(c);
    std::int32_t m = to(v);
    if (m < 0) return;
    if (picture && keepKey && m == kKeyColour15) m = kNextToKeyColour15;
    const Rgb24 n = Rgb15ToRgb24(static_cast<Rgb15>(m));
    if (n != c) c = n, changed = true;
  };
  if (pictures) {
    for (Picture& picture : skin.images) {
      for (Rgb24& px : picture.pixels) {
        if (keepKey && Rgb24ToRgb15(px) == kKeyColour15) continue;
        map(px, true);
      }
    }
  }
  if (fields) ForEachColourField(skin, [&](const SchemaSection&, const SchemaField&, Rgb24& c) { map(c, false); });
  return changed;
}

}  // namespace

std::vector<PaletteEntry> SkinPalette(const Skin& skin) {
  // Only read: the schema hands out its fields through a mutable skin.
  Skin& fieldsOf = const_cast<Skin&>(skin);
  std::vector<PaletteEntry> entries;
  auto where = std::make_unique<std::array<std::int32_t, kColours15>>();
  where->fill(-1);
  const auto entry = [&](Rgb15 v) -> PaletteEntry& {
    std::int32_t& i = (*where)[v];
    if (i < 0) {
      i = static_cast<std::int32_t>(entries.size());
      entries.push_back({v, 0, {}, {}});
    }
    return entries[std::size_t(i)];
  };
  ForEachColourField(fieldsOf, [&](const SchemaSection& section, const SchemaField& field, const Rgb24& c) {
    PaletteEntry& e = entry(Rgb24ToRgb15(c));
    e.fields.emplace_back(std::string(section.name), std::string(field.key));
    ++e.count;
  });
  // One count per value, and the values a picture touched, so that clearing
  // after a picture costs its colours rather than the whole table.
  auto counts = std::make_unique<std::array<std::uint32_t, kColours15>>();
  counts->fill(0);
  std::vector<Rgb15> touched;
  touched.reserve(4096);
  for (const CatalogueEntry& c : ImageCatalogue()) {
    for (const Rgb24& px : skin.image(c.id).pixels) {
      const Rgb15 v = Rgb24ToRgb15(px);
      if ((*counts)[v]++ == 0) touched.push_back(v);
    }
    for (const Rgb15 v : touched) {
      PaletteEntry& e = entry(v);
      e.pictures.emplace_back(c.id, (*counts)[v]);
      e.count += (*counts)[v];
      (*counts)[v] = 0;
    }
    touched.clear();
  }
  std::sort(entries.begin(), entries.end(), [](const PaletteEntry& a, const PaletteEntry& b) {
    return a.count != b.count ? a.count > b.count : a.colour < b.colour;
  });
  return entries;
}

bool ReplaceColours(Skin& skin, const ColourMap& map) {
  if (map.empty()) return false;
  auto table = std::make_unique<ColourTable>();
  table->fill(-1);
  for (const auto& [from, to] : map) {
    if (from < kColours15) (*table)[from] = to & 0x7fff;
  }
  return MapSkinColours(skin, true, true, false, [&](Rgb15 v) { return (*table)[v]; });
}

namespace {

struct Hsl {
  double h, s, l;  // h in [0, 360), s and l in [0, 1]
};

// rgbToHsl of CSS Color 4, with the hue of a grey 0.
Hsl ToHsl(double r, double g, double b) {
  const double max = std::max({r, g, b}), min = std::min({r, g, b});
  const double d = max - min;
  Hsl out{0, 0, (min + max) / 2};
  if (d != 0) {
    out.s = (out.l == 0 || out.l == 1) ? 0 : (max - out.l) / std::min(out.l, 1 - out.l);
    if (max == r) {
      out.h = (g - b) / d + (g < b ? 6 : 0);
    } else if (max == g) {
      out.h = (b - r) / d + 2;
    } else {
      out.h = (r - g) / d + 4;
    }
    out.h *= 60;
  }
  if (out.s < 0) {
    out.h += 180;
    out.s = std::abs(out.s);
  }
  if (out.h >= 360) out.h -= 360;
  return out;
}

// hslToRgb of CSS Color 4, one channel: n is 0 for red, 8 for green, 4 for blue.
double FromHsl(const Hsl& c, double n) {
  const double k = std::fmod(n + c.h / 30, 12);
  const double a = c.s * std::min(c.l, 1 - c.l);
  return c.l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
}

int To5Bits(double f) { return std::clamp(static_cast<int>(std::floor(f * 31 + 0.5)), 0, 31); }

}  // namespace

Rgb15 RecolourColour(Rgb15 colour, const HslShift& shift) {
  Hsl c = ToHsl((colour & 31) / 31.0, ((colour >> 5) & 31) / 31.0, ((colour >> 10) & 31) / 31.0);
  c.h = std::fmod(c.h + shift.hue, 360.0);
  if (c.h < 0) c.h += 360;
  c.s = std::clamp(c.s + shift.saturation / 100.0, 0.0, 1.0);
  c.l = std::clamp(c.l + shift.lightness / 100.0, 0.0, 1.0);
  return static_cast<Rgb15>(To5Bits(FromHsl(c, 0)) | To5Bits(FromHsl(c, 8)) << 5 | To5Bits(FromHsl(c, 4)) << 10);
}

bool RecolourSkin(Skin& skin, const HslShift& shift, RecolourScope scope) {
  if (shift.none()) return false;
  // Each value the skin uses is worked out once, when it is first met: a
  // skin uses a few thousand of the 32768.
  auto table = std::make_unique<ColourTable>();
  table->fill(-2);
  const auto to = [&](Rgb15 v) {
    std::int32_t& m = (*table)[v];
    if (m == -2) {
      const Rgb15 n = RecolourColour(v, shift);
      m = n == v ? -1 : n;  // a colour that stays keeps its low bits
    }
    return m;
  };
  return MapSkinColours(skin, scope != RecolourScope::Fields, scope != RecolourScope::Pictures, true, to);
}
