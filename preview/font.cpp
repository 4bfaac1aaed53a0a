#include "preview/font.h"

#include <charconv>
#include <string>

#include "assets/embedded.h"

namespace {

std::string_view NextLine(std::string_view& rest) {
  const std::size_t nl = rest.find('\n');
  std::string_view line = rest.substr(0, nl);
  rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

}  // namespace

PixelFont::PixelFont(std::string_view source) {
  std::string_view rest = source;
  while (!rest.empty()) {
    std::string_view line = NextLine(rest);
    if (!line.starts_with("glyph U+")) continue;
    line.remove_prefix(8);
    unsigned code = 0;
    int advance = 0;
    const auto [p1, e1] = std::from_chars(line.data(), line.data() + line.size(), code, 16);
    if (e1 != std::errc() || p1 == line.data() + line.size() || *p1 != ' ') continue;
    const auto [p2, e2] = std::from_chars(p1 + 1, line.data() + line.size(), advance);
    if (e2 != std::errc() || advance < 0 || advance > 16) continue;
    Glyph g;
    g.advance = advance;
    bool ok = true;
    for (int r = 0; r < kCellHeight && ok; ++r) {
      const std::string_view row = NextLine(rest);
      if (static_cast<int>(row.size()) != advance) ok = false;
      for (int x = 0; ok && x < advance; ++x) {
        if (row[static_cast<std::size_t>(x)] == '#') g.rows[static_cast<std::size_t>(r)] |= std::uint16_t(1u << x);
        else if (row[static_cast<std::size_t>(x)] != '.') ok = false;
      }
    }
    if (!ok) continue;
    (code < 256 ? latin_ : other_)[code] = g;
  }
  for (const auto& [code, glyph] : latin_) fast_[code] = &glyph;
}

const Glyph* PixelFont::Find(char32_t cp) const {
  if (cp < 256) return fast_[cp];
  const auto it = other_.find(cp);
  return it == other_.end() ? nullptr : &it->second;
}

const PixelFont& PreviewFont() {
  static const PixelFont font(EmbeddedFileBytes("font/kestrelux.txt"));
  return font;
}
