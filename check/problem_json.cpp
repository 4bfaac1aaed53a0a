#include "check/problem_json.h"

#include "skin/printable.h"

std::string JsonString(std::string_view s) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t n = b < 0x80 ? 1 : Utf8SequenceLength(s.substr(i));
    if (b == '"' || b == '\\') {
      out += '\\';
      out += static_cast<char>(b);
    } else if (b < 0x20 || b == 0x7F || n == 0) {
      out += "\\u00";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out.append(s.substr(i, n));
      i += n;
      continue;
    }
    ++i;
  }
  return out + "\"";
}

std::string ProblemsJson(const std::vector<Problem>& problems) {
  std::string out = "[";
  for (std::size_t i = 0; i < problems.size(); ++i) {
    const Problem& p = problems[i];
    out += i ? ",\n " : "\n ";
    out += "{\"severity\": " + JsonString(SeverityName(p.severity)) + ", \"code\": " + JsonString(ProblemCodeName(p.code)) +
           ", \"subject\": " + JsonString(p.subject) + ", \"message\": " + JsonString(p.message);
    if (p.line) out += ", \"line\": " + std::to_string(*p.line);
    if (p.screen) out += ", \"screen\": " + std::to_string(*p.screen);
    out += "}";
  }
  return out + (problems.empty() ? "]\n" : "\n]\n");
}

std::string PaletteJson(const std::vector<PaletteEntry>& palette) {
  std::string out = "[";
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const PaletteEntry& e = palette[i];
    out += i ? ",\n " : "\n ";
    out += "{\"colour\": " + JsonString(FormatSkinColour(Rgb15ToRgb24(e.colour))) +
           ", \"count\": " + std::to_string(e.count) + ", \"fields\": [";
    for (std::size_t f = 0; f < e.fields.size(); ++f) {
      out += (f ? ", " : "") + JsonString(e.fields[f].first + " " + e.fields[f].second);
    }
    out += "], \"pictures\": {";
    for (std::size_t p = 0; p < e.pictures.size(); ++p) {
      out += (p ? ", " : "") + JsonString(CatalogueEntryOf(e.pictures[p].first).name) + ": " +
             std::to_string(e.pictures[p].second);
    }
    out += "}}";
  }
  return out + (palette.empty() ? "]\n" : "\n]\n");
}

