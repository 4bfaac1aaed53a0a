#include "skin/settings_file.h"

#include <cstdint>
#include <functional>
#include <vector>

#include "skin/ascii.h"
#include "skin/schema.h"

namespace {

std::string WithoutSpaces(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

// Calls `line` for every line that ends in CR or LF. After a CR the next byte
// is skipped unseen (taken to be the LF of a pair); bytes after the last line
// end are not a line.
void ForEachLine(std::string_view bytes, const std::function<void(std::string_view)>& line) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    line(bytes.substr(start, i - start));
    if (c == '\r') ++i;
    start = i + 1;
  }
}

// Decimal, "$" hexadecimal or "%" binary, after blanks and a sign; what is not
// a digit ends the number. Accumulated in 64 bits; the low 32 bits are kept.
std::int32_t ParseNumber(std::string_view v) {
  std::size_t i = 0;
  while (i < v.size() && (v[i] == ' ' || v[i] == '\t')) ++i;
  bool negative = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  unsigned base = 10;
  if (i < v.size() && v[i] == '$') base = 16, ++i;
  else if (i < v.size() && v[i] == '%') base = 2, ++i;
  std::uint64_t value = 0;
  for (; i < v.size(); ++i) {
    const char c = v[i];
    unsigned d;
    if (c >= '0' && c <= '9') d = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f') d = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') d = static_cast<unsigned>(c - 'A' + 10);
    else break;
    if (d >= base) break;
    value = value * base + d;
  }
  if (negative) value = ~value + 1;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xffffffffu));
}

enum class Pass { Elements, Colours };

struct KnownSection {
  std::string name;               // without spaces
  const SchemaSection* section;   // null for "[end]"
};

// The section names one pass recognises. The element pass knows every
// section but "[global settings]", plus the misspelt "[clsoe btn]" that
// stands for "[close btn]", and "[end]"; the colour pass knows only the
// sections that hold colours.
std::vector<KnownSection> KnownSections(Pass pass) {
  std::vector<KnownSection> known;
  for (const SchemaSection& s : SkinSchema()) {
    bool hasColour = false;
    for (const SchemaField& f : s.fields) hasColour |= f.kind == FieldKind::Colour;
    const bool isGlobal = s.name == "[global settings]";
    if (pass == Pass::Colours ? hasColour : !isGlobal) {
      known.push_back({WithoutSpaces(s.name), &s});
      if (pass == Pass::Elements && s.name == "[close btn]") known.push_back({"[clsoebtn]", &s});
    }
  }
  if (pass == Pass::Elements) known.push_back({"[end]", nullptr});
  return known;
}

void RunPass(Skin& skin, std::string_view bytes, Pass pass) {
  const std::vector<KnownSection> known = KnownSections(pass);
  const SchemaSection* current = nullptr;
  const SchemaSection* const skinInfo = &SkinSchema()[0];

  ForEachLine(bytes, [&](std::string_view line) {
    const std::size_t eq = line.find('=');
    const std::string key = WithoutSpaces(line.substr(0, eq));
    for (const KnownSection& k : known) {
      if (EqualsIgnoringAsciiCase(key, k.name)) {
        current = k.section;
        break;
      }
    }
    if (current) {
      std::string_view value;
      if (eq != std::string_view::npos) {
        value = line.substr(eq + 1);
        value = value.substr(0, value.find('='));
      }
      for (const SchemaField& f : current->fields) {
        if (!EqualsIgnoringAsciiCase(key, f.key)) continue;
        if (pass == Pass::Colours && f.kind == FieldKind::Colour) {
          *f.colour(skin) = ParseSkinColour(WithoutSpaces(value));
        } else if (pass == Pass::Elements && f.kind == FieldKind::Number) {
          *f.number(skin) = ParseNumber(value);
        } else if (pass == Pass::Elements && f.kind == FieldKind::Text) {
          *f.text(skin) = std::string(value);
        }
        break;
      }
    }
    // While the information section is current, each line takes one leading
    // space from every information text.
    if (pass == Pass::Elements && current == skinInfo) {
      for (const SchemaField& f : skinInfo->fields) {
        std::string* t = f.text(skin);
        if (!t->empty() && (*t)[0] == ' ') t->erase(0, 1);
      }
    }
  });
}

// A text must not break the line structure of the file.
std::string WithoutLineBreaks(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

}  // namespace

void ReadSkinSettings(Skin& skin, std::string_view bytes) {
  skin.fileHandleMenu.x = -1;
  skin.fileHandleMenu.y = -1;
  RunPass(skin, bytes, Pass::Elements);
  if (skin.fileHandleMenu.x == -1) skin.fileHandleMenu.x = 0;
  if (skin.fileHandleMenu.y == -1) skin.fileHandleMenu.y = 0;
  RunPass(skin, bytes, Pass::Colours);
}

std::string WriteSkinSettings(Skin& skin, const TypedInfo& typed, const DateTime& now) {
  skin.info.Title = typed.Title;
  skin.info.Author = typed.Author;
  skin.info.eMail = typed.eMail;
  skin.info.Url = typed.Url;
  skin.info.LastUpdate = FormatLastUpdate(now);

  std::string out;
  out.reserve(8192 + skin.info.Title.size() + skin.info.Author.size() + skin.info.eMail.size() +
              skin.info.Url.size());
  const auto emit = [&out](std::string_view line) {
    out.append(line);
    out.append("\r\n");
  };
  for (const SchemaSection& section : SkinSchema()) {
    emit(section.name);
    for (const SchemaField& f : section.fields) {
      std::string line(f.key);
      line += '=';
      switch (f.kind) {
        case FieldKind::Text: line += WithoutLineBreaks(*f.text(skin)); break;
        case FieldKind::Number: line += std::to_string(*f.number(skin)); break;
        case FieldKind::Colour: line += FormatSkinColour(*f.colour(skin)); break;
      }
      emit(line);
    }
    emit("");
  }
  emit("[end]");
  return out;
}
