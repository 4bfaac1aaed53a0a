// Colours of a skin: 15-bit words at the file boundary, 8-bit channels in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <optional>

// Red in bits 0-4, green 5-9, blue 10-14; bit 15 is ignored when read.
using Rgb15 = std::uint16_t;

struct Rgb24 {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb24&, const Rgb24&) = default;
};

// Each 5-bit channel times 8, so a full channel gives 248, never 255.
constexpr Rgb24 Rgb15ToRgb24(Rgb15 v) {
  return {static_cast<std::uint8_t>((v & 31) * 8), static_cast<std::uint8_t>(((v >> 5) & 31) * 8),
          static_cast<std::uint8_t>(((v >> 10) & 31) * 8)};
}

// Drops the low three bits of each channel; bit 15 is 0.
constexpr Rgb15 Rgb24ToRgb15(Rgb24 c) {
  return static_cast<Rgb15>(c.r / 8 + (c.g / 8) * 32 + (c.b / 8) * 1024);
}

// The key green: where the firmware draws a picture with its key colour,
// pixels of this colour are left out. 0x03e0 as a 15-bit value.
inline constexpr Rgb24 kKeyGreen{0, 248, 0};
inline constexpr Rgb15 kKeyColour15 = Rgb24ToRgb15(kKeyGreen);

// One integer with red in bits 0-7, green 8-15, blue 16-23 (the background
// colour setting and the colour dialog use this packing).
constexpr std::uint32_t PackRgb24(Rgb24 c) {
  return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
         (static_cast<std::uint32_t>(c.b) << 16);
}
constexpr Rgb24 UnpackRgb24(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v & 255), static_cast<std::uint8_t>((v >> 8) & 255),
          static_cast<std::uint8_t>((v >> 16) & 255)};
}

// Reads a colour text of a settings file ("0x7fff", "7FFF", ...). Never fails:
// what is not a hexadecimal digit ends the number, and no digit gives black.
Rgb24 ParseSkinColour(std::string_view text);

// "0x" and four lower-case hexadecimal digits of the 15-bit value.
std::string FormatSkinColour(Rgb24 colour);

// A colour as a person types or pastes it: "#rrggbb" or "rrggbb" (8-bit
// channels, taken as they are), or the settings file's "0xBBBB" (one to
// four digits of the 15-bit value). Blanks around it are allowed, letters
// in either case; anything else gives nothing.
std::optional<Rgb24> ParseColourText(std::string_view text);

// "#rrggbb", lower case: the form the clipboard gets.
std::string FormatHexColour(Rgb24 colour);
