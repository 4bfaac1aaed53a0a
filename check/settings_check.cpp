#include "check/settings_check.h"

#include <cstdint>
#include <string>

#include "check/near_names.h"
#include "skin/ascii.h"
#include "skin/schema.h"
#include "skin/settings_file.h"

namespace {

std::string WithoutSpaces(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// One section name a pass of the reader knows, spaces removed as the reader
// compares it, and the name the writer writes for it.
struct KnownSection {
  std::string key;
  std::string_view written;
  const SchemaSection* section;  // null for "[end]"
};

struct PassSections {
  std::vector<KnownSection> elements, colours;
};

// The reader's two lists: the element pass knows every section but
// "[global settings]", the misspelt "[clsoe btn]" and "[end]"; the colour
// pass knows the sections that hold colours.
const PassSections& Sections() {
  static const PassSections sections = [] {
    PassSections p;
    for (const SchemaSection& s : SkinSchema()) {
      bool hasColour = false;
      for (const SchemaField& f : s.fields) hasColour |= f.kind == FieldKind::Colour;
      if (hasColour) p.colours.push_back({WithoutSpaces(s.name), s.name, &s});
      if (s.name == "[global settings]") continue;
      p.elements.push_back({WithoutSpaces(s.name), s.name, &s});
      if (s.name == "[close btn]") p.elements.push_back({"[clsoebtn]", s.name, &s});
    }
    p.elements.push_back({"[end]", "[end]", nullptr});
    return p;
  }();
  return sections;
}

const KnownSection* FindSection(const std::vector<KnownSection>& known, std::string_view key) {
  for (const KnownSection& k : known) {
    if (EqualsIgnoringAsciiCase(key, k.key)) return &k;
  }
  return nullptr;
}

// The field of `section` that a pass reading `kinds` takes for `key`.
const SchemaField* TakenBy(const SchemaSection* section, std::string_view key, bool colourPass) {
  if (!section) return nullptr;
  for (const SchemaField& f : section->fields) {
    if ((f.kind == FieldKind::Colour) == colourPass && EqualsIgnoringAsciiCase(key, f.key)) return &f;
  }
  return nullptr;
}

// Lines as the reader splits them: CR or LF ends a line, the byte after a
// CR is skipped unseen, and bytes after the last line end are no line.
template <typename F>
void ForEachNumberedLine(std::string_view bytes, F&& f) {
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

// Blanks, a sign, decimal digits, blanks, and a value that fits 32 bits:
// the reader takes exactly what a person reads.
bool IsPlainDecimal(std::string_view value) {
  value = TrimBlanks(value);
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) value.remove_prefix(1);
  if (value.empty() || value.size() > 10) return false;
  std::int64_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  return n <= 2147483647;
}

// What the reader itself makes of a number's text: the one-line file is read
// by ReadSkinSettings, so this can never drift from the reader's rules.
std::int32_t ReaderNumber(std::string_view value) {
  Skin scratch;
  std::string file = "[file name]\r\nx=";
  file.append(value);
  file += "\r\n";
  ReadSkinSettings(scratch, file);
  return scratch.fileName.x;
}

// The closest field name of the section, when it is one or two letters away.
std::string_view NearestKey(const SchemaSection* section, std::string_view key) {
  std::string_view best;
  int bestDistance = 3;
  if (!section) return best;
  for (const SchemaField& f : section->fields) {
    const int d = NameDistance(key, f.key, 2);
    if (d < bestDistance) bestDistance = d, best = f.key;
  }
  return best;
}

class SettingsChecker {
 public:
  void Line(std::string_view line, int number) {
    const std::size_t eq = line.find('=');
    const std::string key = WithoutSpaces(line.substr(0, eq));
    const KnownSection* element = FindSection(Sections().elements, key);
    const KnownSection* colour = FindSection(Sections().colours, key);
    if (element) elementSection_ = element->section;
    if (colour) colourSection_ = colour->section;
    if (element || colour) {
      shown_ = element ? element : colour;
      underUnknownHeader_ = false;
      return;
    }
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return;
    if (eq == std::string_view::npos && trimmed.back() == ']' && trimmed.find('[') != std::string_view::npos) {
      Add(ProblemCode::SettingsUnknownSection, ProblemText::SettingsUnknownSection, PrintableText(trimmed, true),
          {std::to_string(number)}, number);
      underUnknownHeader_ = true;
      return;
    }
    if (const SchemaField* f = TakenBy(elementSection_, key, false)) {
      if (f->kind == FieldKind::Number) CheckNumber(*f, line, eq, number);
      return;
    }
    if (TakenBy(colourSection_, key, true)) return;
    // Under an unknown header the lines are the header's problem, reported once.
    if (!underUnknownHeader_) UnknownKey(key, number);
  }

  std::vector<Problem> Take() { return std::move(problems_); }

 private:
  void Add(ProblemCode code, ProblemText text, std::string subject, std::vector<std::string> params, int line) {
    Problem p = MakeProblem(code, text, std::move(subject), std::move(params));
    p.line = line;
    problems_.push_back(std::move(p));
  }

  void CheckNumber(const SchemaField& f, std::string_view line, std::size_t eq, int number) {
    std::string_view value;
    if (eq != std::string_view::npos) {
      value = line.substr(eq + 1);
      value = value.substr(0, value.find('='));
    }
    if (IsPlainDecimal(value)) return;
    Add(ProblemCode::SettingsBadNumber, ProblemText::SettingsBadNumber,
        std::string(SectionOf(elementSection_)) + " " + std::string(f.key),
        {std::to_string(number), PrintableText(value, true), std::to_string(ReaderNumber(value))}, number);
  }

  void UnknownKey(const std::string& key, int number) {
    const std::string shownKey = PrintableText(key, true);
    const std::string_view section = shown_ ? shown_->written : std::string_view();
    const std::string subject = section.empty() ? shownKey : std::string(section) + " " + shownKey;
    const std::string_view near = NearestKey(shown_ ? shown_->section : nullptr, key);
    if (near.empty()) {
      Add(ProblemCode::SettingsUnknownKey, ProblemText::SettingsUnknownKey, subject,
          {std::to_string(number), std::string(section), shownKey}, number);
    } else {
      Add(ProblemCode::SettingsUnknownKey, ProblemText::SettingsUnknownKeyNear, subject,
          {std::to_string(number), std::string(section), shownKey, std::string(near)}, number);
    }
  }

  static std::string_view SectionOf(const SchemaSection* s) { return s ? s->name : std::string_view(); }

  const SchemaSection* elementSection_ = nullptr;
  const SchemaSection* colourSection_ = nullptr;
  const KnownSection* shown_ = nullptr;  // the last header either pass knows
  bool underUnknownHeader_ = false;
  std::vector<Problem> problems_;
};

}  // namespace

std::vector<Problem> CheckSettingsText(std::string_view bytes) {
  SettingsChecker checker;
  ForEachNumberedLine(bytes, [&](std::string_view line, int number) { checker.Line(line, number); });
  return checker.Take();
}
