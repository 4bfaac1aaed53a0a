#include "skin/colour.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Rgb24 ParseSkinColour(std::string_view text) {
  // Every "0x" goes, wherever it stands (a lower-case x only: "0X" stays and
  // is cut away below when the text is long enough).
  std::string s;
  s.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '0' && i + 1 < text.size() && text[i + 1] == 'x') {
      ++i;
      continue;
    }
    s.push_back(text[i]);
  }
  if (s.size() > 4) s.erase(0, s.size() - 4);
  if (s.size() < 4) s.insert(0, 4 - s.size(), '0');

  unsigned value = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) break;
    value = value * 16 + static_cast<unsigned>(d);
  }
  return Rgb15ToRgb24(static_cast<Rgb15>(value & 0x7fff));
}

std::optional<Rgb24> ParseColourText(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  const auto hex = [](std::string_view digits, unsigned& value) {
    value = 0;
    for (const char c : digits) {
      const int d = HexDigit(c);
      if (d < 0) return false;
      value = value * 16 + static_cast<unsigned>(d);
    }
    return !digits.empty();
  };
  unsigned value = 0;
  if (text.size() >= 3 && text.size() <= 6 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (!hex(text.substr(2), value)) return std::nullopt;
    return Rgb15ToRgb24(static_cast<Rgb15>(value & 0x7fff));
  }
  if (!text.empty() && text.front() == '#') text.remove_prefix(1);
  if (text.size() != 6 || !hex(text, value)) return std::nullopt;
  return UnpackRgb24(((value >> 16) & 255) | (value & 0xff00) | ((value & 255) << 16));
}

std::string FormatHexColour(Rgb24 colour) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out = "#";
  for (const std::uint8_t v : {colour.r, colour.g, colour.b}) {
    out += kDigits[v >> 4];
    out += kDigits[v & 15];
  }
  return out;
}

std::string FormatSkinColour(Rgb24 colour) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const unsigned v = Rgb24ToRgb15(colour);
  std::string out = "0x0000";
  for (int i = 0; i < 4; ++i) out[5 - i] = kDigits[(v >> (4 * i)) & 15];
  return out;
}
