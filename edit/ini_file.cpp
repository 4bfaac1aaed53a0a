#include "edit/ini_file.h"

#include "skin/ascii.h"
#include "skin/printable.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = Utf8SequenceLength(bytes.substr(i));
    if (n == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(bytes.substr(i, n));
      i += n;
    }
  }
  return out;
}

}  // namespace

std::vector<IniGroup> ParseIni(std::string_view bytes) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  const std::string text = bytes.starts_with(kBom) ? ValidUtf8(bytes.substr(kBom.size())) : Latin1ToUtf8(bytes);
  std::vector<IniGroup> groups;
  std::string_view rest = text;
  while (true) {
    const std::size_t end = rest.find_first_of("\r\n");
    std::string_view line = rest.substr(0, end);
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (!line.empty() && line.front() != ';') {
      if (line.front() == '[') {
        const std::size_t close = line.find(']');
        groups.push_back({std::string(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)), {}});
      } else if (!groups.empty()) {
        const std::size_t eq = line.find('=');
        groups.back().entries.push_back({std::string(TrimBlanks(line.substr(0, eq))),
                                         eq == std::string_view::npos ? std::string()
                                                                      : std::string(TrimBlanks(line.substr(eq + 1)))});
      }
    }
    if (end == std::string_view::npos) break;
    // CR LF counts as one line end.
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
  }
  return groups;
}

std::optional<std::string> IniValue(const std::vector<IniGroup>& groups, std::string_view group, std::string_view key) {
  for (const IniGroup& g : groups) {
    if (!EqualsIgnoringAsciiCase(g.name, group)) continue;
    // Only the first group of that name counts.
    for (const IniEntry& e : g.entries) {
      if (EqualsIgnoringAsciiCase(e.key, key)) return e.value;
    }
    return std::nullopt;
  }
  return std::nullopt;
}
