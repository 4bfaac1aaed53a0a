// How the preview would look on the console's own screen, or to a person
// with a colour-vision deficiency. A filter changes only what is shown (the
// preview picture, the thumbnails, skintool render --filter), never the
// skin, a screenshot or a saved file.
#pragma once

#include <optional>
#include <string_view>

#include "skin/picture.h"

enum class ScreenFilter { None, Console, Protanopia, Deuteranopia, Tritanopia };
inline constexpr int kScreenFilterCount = 5;

// "none", "console", "protanopia", "deuteranopia", "tritanopia".
std::string_view ScreenFilterName(ScreenFilter filter);
std::optional<ScreenFilter> FindScreenFilter(std::string_view name);

// One colour through the filter, each 8-bit channel c as x = c / 255:
// - Console: linear = x^2 per channel, out = M * linear with the rows
//   (0.705 0.235 -0.075), (0.09 0.585 0.24), (0.1075 0.1725 0.72), clamped to
//   0..1, value = out^(1/2) (a public-domain colour model of the screen:
//   dimmer, less saturated, bluish).
// - Protanopia, Deuteranopia, Tritanopia: linear = the sRGB decoding of x,
//   out = M * linear with the matrices of Machado, Oliveira and Fernandes
//   (2009) at severity 1.0, clamped, sRGB-encoded back.
// Each channel is then round(value * 255), halves up.
Rgb24 FilterColour(Rgb24 colour, ScreenFilter filter);

// The whole picture through the filter. Colours on the console's 15-bit grid
// (every channel a multiple of 8, as the skin's are) come from a table of
// the 32768 of them made once per filter; any other is worked out.
void ApplyScreenFilter(Picture& picture, ScreenFilter filter);
