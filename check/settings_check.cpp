#include "check/settings_check.h"

#include <cstdint>
#include <string>

#include "check/near_names.h"
#include "skin/ascii.h"
#include "skin/schema.h"
#include "skin/settings_file.h"
#include "skin/settings_lines.h"

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The field of `section` that a pass reading `kinds` takes for `key`.
const SchemaField* TakenBy(const SchemaSection* section, std::string_view key, bool colourPass) {
  if (!section) return nullptr;
  for (const SchemaField& f : section->fields) {
    if ((f.kind == FieldKind::Colour) == colourPass && EqualsIgnoringAsciiCase(key, f.key)) return &f;
  }
  return nullptr;
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
    const std::string key = SettingsKeyPart(line);
    const ReaderSection* element = FindReaderSection(ReaderPass::Elements, key);
    const ReaderSection* colour = FindReaderSection(ReaderPass::Colours, key);
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
      Add(ProblemCode::SettingsUnknownSection, ProblemText::SettingsUnknownSection,
          ProblemSubject::Section(PrintableText(trimmed, true)),
          {std::to_string(number)}, number);
      underUnknownHeader_ = true;
      return;
    }
    if (const SchemaField* f = TakenBy(elementSection_, key, false)) {
      if (f->kind == FieldKind::Number) CheckNumber(*f, line, number);
      return;
    }
    if (TakenBy(colourSection_, key, true)) return;
    // Under an unknown header the lines are the header's problem, reported once.
    if (!underUnknownHeader_) UnknownKey(key, number);
  }

  std::vector<Problem> Take() { return std::move(problems_); }

 private:
  void Add(ProblemCode code, ProblemText text, ProblemSubject subject, std::vector<std::string> params, int line) {
    Problem p = MakeProblem(code, text, std::move(subject), std::move(params));
    p.line = line;
    problems_.push_back(std::move(p));
  }

  void CheckNumber(const SchemaField& f, std::string_view line, int number) {
    const std::string_view value = SettingsValuePart(line);
    if (IsPlainDecimal(value)) return;
    Add(ProblemCode::SettingsBadNumber, ProblemText::SettingsBadNumber,
        ProblemSubject::Field(std::string(SectionOf(elementSection_)), std::string(f.key)),
        {std::to_string(number), PrintableText(value, true), std::to_string(ReaderNumber(value))}, number);
  }

  void UnknownKey(const std::string& key, int number) {
    const std::string shownKey = PrintableText(key, true);
    const std::string_view section = shown_ ? shown_->written() : std::string_view();
    const ProblemSubject subject = ProblemSubject::Field(std::string(section), shownKey);
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
  const ReaderSection* shown_ = nullptr;  // the last header either pass knows
  bool underUnknownHeader_ = false;
  std::vector<Problem> problems_;
};

}  // namespace

std::vector<Problem> CheckSettingsText(std::string_view bytes) {
  SettingsChecker checker;
  ForEachSettingsLine(bytes, [&](std::string_view line, int number) { checker.Line(line, number); });
  return checker.Take();
}
