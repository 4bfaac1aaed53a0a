#include "edit/colour_choice.h"

#include <algorithm>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::uint8_t Channel8(int v5) { return static_cast<std::uint8_t>(v5 * 8); }

}  // namespace

long long ParseChannelText(std::string_view text) {
  // The same number reading as the settings file's integers.
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v < 1'000'000'000'000LL) v = v * 10 + (text[i] - '0');
  }
  return negative ? -v : v;
}

int ClampChannel(long long value) { return static_cast<int>(std::clamp<long long>(value, 0, 31)); }

ColourChoice::ColourChoice(Rgb24 input) : input_(input), current_(input), last_(input) {}

std::string ColourChoice::FieldEdited(int channel, std::string_view red, std::string_view green,
                                      std::string_view blue) {
  const std::string_view texts[3] = {red, green, blue};
  channel = std::clamp(channel, 0, 2);
  int values[3];
  for (int i = 0; i < 3; ++i) values[i] = ClampChannel(ParseChannelText(texts[i]));
  // Only the field being edited is corrected in place.
  std::string shown(texts[channel]);
  if (ParseChannelText(shown) > 31) shown = "31";
  current_ = {Channel8(values[0]), Channel8(values[1]), Channel8(values[2])};
  return shown;
}

void ColourChoice::ChooserPicked(Rgb24 chosen) { current_ = chosen; }

bool ColourChoice::TextEntered(std::string_view text) {
  const std::optional<Rgb24> colour = ParseColourText(text);
  if (colour) current_ = *colour;
  return colour.has_value();
}

void ColourChoice::EyedropperPixel(Rgb24 c) {
  current_ = {static_cast<std::uint8_t>(c.r & 248), static_cast<std::uint8_t>(c.g & 248),
              static_cast<std::uint8_t>(c.b & 248)};
}

bool ColourChoice::Refresh() {
  if (current_ == last_) return false;
  last_ = current_;
  return true;
}

std::string ColourChoice::ChannelShown(int channel, std::string_view typed) const {
  const int values[3] = {r5(), g5(), b5()};
  const int value = values[std::clamp(channel, 0, 2)];
  if (ClampChannel(ParseChannelText(typed)) == value) return std::string(typed);
  return std::to_string(value);
}
