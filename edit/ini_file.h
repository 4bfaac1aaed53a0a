// The text format of the language files and of the editor's own small
// files: groups in brackets, KEY = value lines, ';' comments; UTF-8 with a
// byte-order mark, or Latin-1 without one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct IniEntry {
  std::string key, value;  // UTF-8, blanks around them taken off
};

struct IniGroup {
  std::string name;
  std::vector<IniEntry> entries;
};

// The groups in file order, as UTF-8 (Latin-1 turned into it; a byte that
// is not UTF-8 in a file marked as UTF-8 becomes U+FFFD). CR LF, CR and LF
// each end a line; entries before any group belong to none and are left out.
std::vector<IniGroup> ParseIni(std::string_view bytes);

// The value of the first entry `key` of the first group `group` (both
// without regard to the case of ASCII letters), or nothing.
std::optional<std::string> IniValue(const std::vector<IniGroup>& groups, std::string_view group, std::string_view key);
