// The preview's pixel font: 15-pixel cells, the baseline 13 pixels below the
// top, whole-pixel advances and no kerning.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>

struct Glyph {
  int advance = 0;
  std::array<std::uint16_t, 15> rows{};  // bit x set = ink in column x
};

class PixelFont {
 public:
  static constexpr int kCellHeight = 15;

  // Parses the glyph text format of assets/font (see its README). Glyphs
  // that break the format are left out.
  explicit PixelFont(std::string_view source);

  // nullptr when the font has no glyph for the code point.
  const Glyph* Find(char32_t codePoint) const;
  std::size_t size() const { return latin_.size() + other_.size(); }

 private:
  std::unordered_map<char32_t, Glyph> latin_;
  std::unordered_map<char32_t, Glyph> other_;
  std::array<const Glyph*, 256> fast_{};
};

// The built-in font, parsed once.
const PixelFont& PreviewFont();

// Decodes UTF-8; a byte that does not start a valid sequence stands for the
// Latin-1 character of that value.
template <typename F>
void ForEachCodePoint(std::string_view s, F&& f) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    char32_t cp = b0;
    std::size_t len = 1;
    if (b0 >= 0xC2 && b0 <= 0xF4) {
      const std::size_t need = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : 2;
      if (i + need <= s.size()) {
        char32_t v = b0 & (0x3F >> (need - 1));
        bool ok = true;
        for (std::size_t k = 1; k < need; ++k) {
          const auto b = static_cast<unsigned char>(s[i + k]);
          if ((b & 0xC0) != 0x80) ok = false;
          v = (v << 6) | (b & 0x3F);
        }
        if (ok) cp = v, len = need;
      }
    }
    f(cp, i, len);
    i += len;
  }
}
