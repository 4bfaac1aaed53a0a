#include "skin/settings_file.h"

#include <cstdint>
#include <vector>

#include "skin/ascii.h"
#include "skin/schema.h"
#include "skin/settings_lines.h"

namespace {

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

void RunPass(Skin& skin, std::string_view bytes, ReaderPass pass) {
  const SchemaSection* current = nullptr;
  const SchemaSection* const skinInfo = &SkinSchema()[0];

  ForEachSettingsLine(bytes, [&](std::string_view line, int) {
    const std::string key = SettingsKeyPart(line);
    if (const ReaderSection* k = FindReaderSection(pass, key)) current = k->section;
    if (current) {
      const std::string_view value = SettingsValuePart(line);
      for (const SchemaField& f : current->fields) {
        if (!EqualsIgnoringAsciiCase(key, f.key)) continue;
        if (pass == ReaderPass::Colours && f.kind == FieldKind::Colour) {
          *f.colour(skin) = ParseSkinColour(WithoutSpaces(value));
        } else if (pass == ReaderPass::Elements && f.kind == FieldKind::Number) {
          *f.number(skin) = ParseNumber(value);
        } else if (pass == ReaderPass::Elements && f.kind == FieldKind::Text) {
          *f.text(skin) = std::string(value);
        }
        break;
      }
    }
    // While the information section is current, each line takes one leading
    // space from every information text.
    if (pass == ReaderPass::Elements && current == skinInfo) {
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
  RunPass(skin, bytes, ReaderPass::Elements);
  if (skin.fileHandleMenu.x == -1) skin.fileHandleMenu.x = 0;
  if (skin.fileHandleMenu.y == -1) skin.fileHandleMenu.y = 0;
  RunPass(skin, bytes, ReaderPass::Colours);
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
