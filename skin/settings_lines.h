// How the uisettings.ini reader sees a file: its lines, the section names
// each of its two passes knows, and the parts of a line. The reader and the
// skin check share these, so the check can never drift from the reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "skin/schema.h"

// Calls f(line, number) for every line that ends in CR or LF, numbered from
// 1. After a CR the next byte is skipped unseen (taken to be the LF of a
// pair); bytes after the last line end are not a line.
template <typename F>
void ForEachSettingsLine(std::string_view bytes, F&& f) {
  std::size_t start = 0;
  int number = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    f(bytes.substr(start, i - start), ++number);
    if (c == '\r') ++i;
    start = i + 1;
  }
}

std::string WithoutSpaces(std::string_view s);

// The key part of a line: the text before its first "=", spaces removed.
std::string SettingsKeyPart(std::string_view line);
// The value part: between the first and the second "=" (or the line's end);
// empty when the line has no "=".
std::string_view SettingsValuePart(std::string_view line);

enum class ReaderPass { Elements, Colours };

// A section name one pass recognises, spaces removed as the reader compares it.
struct ReaderSection {
  std::string key;               // "[startmenu]"
  const SchemaSection* section;  // null for "[end]", which selects no record
  // The name as the writer writes it: "[close btn]" for the misspelt
  // "[clsoe btn]", "[end]" for the end.
  std::string_view written() const { return section ? section->name : std::string_view("[end]"); }
};

// The element pass knows every section but "[global settings]", plus the
// misspelt "[clsoe btn]" that stands for "[close btn]", and "[end]"; the
// colour pass knows only the sections that hold colours.
const std::vector<ReaderSection>& ReaderSections(ReaderPass pass);

// The section a line's key part selects in that pass, or nullptr.
const ReaderSection* FindReaderSection(ReaderPass pass, std::string_view keyPart);
