#include "preview/filters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>


namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

constexpr Matrix kConsole = {{{0.705, 0.235, -0.075}, {0.09, 0.585, 0.24}, {0.1075, 0.1725, 0.72}}};
constexpr Matrix kProtanopia = {
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix kDeuteranopia = {
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix kTritanopia = {
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};

constexpr std::array<std::string_view, kScreenFilterCount> kNames = {"none", "console", "protanopia", "deuteranopia",
                                                                       "tritanopia"};

double SrgbDecode(double x) { return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4); }
double SrgbEncode(double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055; }

std::uint8_t Channel(double value) { return static_cast<std::uint8_t>(std::floor(value * 255.0 + 0.5)); }

// A table per filter of the 32768 colours of the 15-bit grid, by Rgb15.
const std::vector<Rgb24>& Table(ScreenFilter filter) {
  static std::array<std::unique_ptr<std::vector<Rgb24>>, kScreenFilterCount> tables;
  static std::array<std::once_flag, kScreenFilterCount> made;
  const auto i = static_cast<std::size_t>(filter);
  std::call_once(made[i], [&] {
    auto table = std::make_unique<std::vector<Rgb24>>(32768);
    for (unsigned v = 0; v < 32768; ++v) (*table)[v] = FilterColour(Rgb15ToRgb24(static_cast<Rgb15>(v)), filter);
    tables[i] = std::move(table);
  });
  return *tables[i];
}

}  // namespace

std::string_view ScreenFilterName(ScreenFilter filter) { return kNames[static_cast<std::size_t>(filter)]; }

std::optional<ScreenFilter> FindScreenFilter(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i] == name) return static_cast<ScreenFilter>(i);
  }
  return std::nullopt;
}

Rgb24 FilterColour(Rgb24 colour, ScreenFilter filter) {
  if (filter == ScreenFilter::None) return colour;
  const bool console = filter == ScreenFilter::Console;
  const Matrix& m = console                                ? kConsole
                    : filter == ScreenFilter::Protanopia   ? kProtanopia
                    : filter == ScreenFilter::Deuteranopia ? kDeuteranopia
                                                           : kTritanopia;
  std::array<double, 3> linear{};
  const std::array<std::uint8_t, 3> in = {colour.r, colour.g, colour.b};
  for (std::size_t i = 0; i < 3; ++i) {
    const double x = in[i] / 255.0;
    linear[i] = console ? x * x : SrgbDecode(x);
  }
  std::array<std::uint8_t, 3> out{};
  for (std::size_t i = 0; i < 3; ++i) {
    const double v = std::clamp(m[i][0] * linear[0] + m[i][1] * linear[1] + m[i][2] * linear[2], 0.0, 1.0);
    out[i] = Channel(console ? std::sqrt(v) : SrgbEncode(v));
  }
  return {out[0], out[1], out[2]};
}

void ApplyScreenFilter(Picture& picture, ScreenFilter filter) {
  if (filter == ScreenFilter::None) return;
  const std::vector<Rgb24>& table = Table(filter);
  // Colours off the grid (the hinge, the background) are few and repeat:
  // each is worked out once per picture.
  struct Seen {
    std::uint32_t key = 0;  // the packed colour plus one; 0 for none
    Rgb24 filtered;
  };
  std::vector<Seen> seen(4096);
  for (Rgb24& c : picture.pixels) {
    if (((c.r | c.g | c.b) & 7) == 0) {
      c = table[Rgb24ToRgb15(c)];
      continue;
    }
    const std::uint32_t key = PackRgb24(c) + 1;
    Seen& slot = seen[(key * 2654435761u) >> 20];
    if (slot.key != key) slot = {key, FilterColour(c, filter)};
    c = slot.filtered;
  }
}
