#include "check/problem.h"

#include <algorithm>

namespace {

struct CodeRow {
  ProblemCode code;
  Severity severity;
  std::string_view name;
};

constexpr std::array<CodeRow, kProblemCodeCount> kCodes = {{
    {ProblemCode::MissingSettings, Severity::Error, "missing-settings"},
    {ProblemCode::MissingPicture, Severity::Error, "missing-picture"},
    {ProblemCode::UnreadablePicture, Severity::Error, "unreadable-picture"},
    {ProblemCode::SettingsUnknownSection, Severity::Warning, "settings-unknown-section"},
    {ProblemCode::SettingsUnknownKey, Severity::Warning, "settings-unknown-key"},
    {ProblemCode::SettingsBadNumber, Severity::Warning, "settings-bad-number"},
    {ProblemCode::PictureSize, Severity::Warning, "picture-size"},
    {ProblemCode::OffScreen, Severity::Warning, "off-screen"},
    {ProblemCode::LowContrast, Severity::Warning, "low-contrast"},
    {ProblemCode::StrayFile, Severity::Warning, "stray-file"},
    {ProblemCode::Not16Bit, Severity::Warning, "not-16-bit"},
    {ProblemCode::UnreadableSettings, Severity::Error, "unreadable-settings"},
    {ProblemCode::KeyInOpaque, Severity::Warning, "key-in-opaque"},
}};

struct TextRow {
  ProblemText text;
  std::string_view name;
  std::string_view english;
};

constexpr std::array<TextRow, kProblemTextCount> kTexts = {{
    {ProblemText::MissingSettings, "missing-settings",
     "{1} : no skin settings file; nothing of this skin can be opened"},
    {ProblemText::MissingPicture, "missing-picture", "{1} is missing; the picture keeps what it held before"},
    {ProblemText::UnreadablePicture, "unreadable-picture",
     "{1} cannot be read as a BMP, PNG or JPEG picture; the picture is empty"},
    {ProblemText::SettingsUnknownSection, "settings-unknown-section",
     "line {1}: no such section; its lines count as lines of the section before it"},
    {ProblemText::SettingsUnknownKey, "settings-unknown-key", "line {1}: {2} has no field {3}; the line does nothing"},
    {ProblemText::SettingsUnknownKeyNear, "settings-unknown-key.near",
     "line {1}: {2} has no field {3} (did you mean {4}?); the line does nothing"},
    {ProblemText::SettingsBadNumber, "settings-bad-number",
     "line {1}: \"{2}\" is not a plain decimal number; it is read as {3}"},
    {ProblemText::PictureSizeExact, "picture-size", "{1} x {2} pixels; the firmware expects {3} x {4}"},
    {ProblemText::PictureSizeTooLarge, "picture-size.too-large",
     "{1} x {2} pixels, larger than the {3} x {4} it has room for"},
    {ProblemText::OffScreen, "off-screen", "at {1}, {2} it lies wholly outside the {3} x {4} screen"},
    {ProblemText::LowContrast, "low-contrast",
     "hard to read on preview screen {1}: contrast {2}:1 with the pixels around the text (at least {3}:1 wanted)"},
    {ProblemText::StrayFile, "stray-file", "no picture uses this file; the firmware reads {1}"},
    {ProblemText::Not16Bit, "not-16-bit",
     "{1} is a {2} file, not a 16-bit BMP; a saved skin holds a 16-bit BMP instead"},
    {ProblemText::UnreadableSettings, "unreadable-settings",
     "{1} is there but cannot be read (no permission, not a file, or damaged or encrypted in its archive); "
     "nothing of this skin can be opened"},
    {ProblemText::SettingsTooLarge, "unreadable-settings.too-large",
     "{1} is larger than the {2} bytes a settings file may have; nothing of this skin can be opened"},
    {ProblemText::PictureNoAccess, "unreadable-picture.no-access",
     "{1} is there but cannot be read (no permission, or not a file); the picture keeps what it held before"},
    {ProblemText::PictureTooLarge, "unreadable-picture.too-large",
     "{1} is larger than a skin picture may be ({2} pixels on a side, {3} pixels in all); the picture is empty"},
    {ProblemText::PictureOverBudget, "unreadable-picture.over-budget",
     "{1} was not read: with it the pictures of the skin would hold more than {2} pixels together; "
     "the picture is empty"},
    {ProblemText::More, "more", "{1} more problems of this kind are not listed"},
    {ProblemText::KeyInOpaque, "key-in-opaque",
     "{1} shows {2} bright green pixels on the console: the firmware draws this picture without the key colour"},
    {ProblemText::ImportUnreadable, "unreadable-picture.import",
     "{1} cannot be read as a BMP, PNG or JPEG picture; it was not imported, and the picture keeps what it held before"},
    {ProblemText::ImportTooLarge, "unreadable-picture.import-too-large",
     "{1} is larger than a skin picture may be ({2} pixels on a side, {3} pixels in all); it was not imported, and "
     "the picture keeps what it held before"},
    {ProblemText::ImportOverBudget, "unreadable-picture.import-over-budget",
     "{1} was not imported: with it the pictures of the skin would hold more than {2} pixels together; the picture "
     "keeps what it held before"},
}};

constexpr bool TablesInOrder() {
  for (std::size_t i = 0; i < kCodes.size(); ++i) {
    if (static_cast<std::size_t>(kCodes[i].code) != i) return false;
  }
  for (std::size_t i = 0; i < kTexts.size(); ++i) {
    if (static_cast<std::size_t>(kTexts[i].text) != i) return false;
  }
  return true;
}
static_assert(TablesInOrder(), "problem tables must follow their enums");

}  // namespace

std::string_view SeverityName(Severity severity) { return severity == Severity::Error ? "error" : "warning"; }

std::string_view ProblemCodeName(ProblemCode code) { return kCodes[static_cast<std::size_t>(code)].name; }

std::string_view ProblemTextName(ProblemText text) { return kTexts[static_cast<std::size_t>(text)].name; }

const ProblemTemplates& BuiltInProblemTemplates() {
  static const ProblemTemplates templates = [] {
    ProblemTemplates t;
    for (std::size_t i = 0; i < kTexts.size(); ++i) t[i] = std::string(kTexts[i].english);
    return t;
  }();
  return templates;
}

std::string FillTemplate(std::string_view pattern, const std::vector<std::string>& params) {
  std::string out;
  out.reserve(pattern.size() + 32);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '{' && i + 1 < pattern.size() && pattern[i + 1] == '{') {
      out += '{';
      ++i;
    } else if (c == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9' &&
               pattern[i + 2] == '}') {
      const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - '1');
      if (n < params.size()) out += params[n];
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::string FormatProblem(const Problem& problem, const ProblemTemplates& templates) {
  return FillTemplate(templates[static_cast<std::size_t>(problem.text)], problem.params);
}

std::string ProblemSubject::Text() const {
  switch (kind) {
    case Kind::SettingsFile: return "uisettings.ini";
    case Kind::Field: return section.empty() ? key : section + " " + key;
    case Kind::Section: return section;
    case Kind::Picture: return image ? std::string(CatalogueEntryOf(*image).name) : std::string();
    case Kind::File: return file;
    case Kind::None: break;
  }
  return "...";
}

Problem MakeProblem(ProblemCode code, ProblemText text, ProblemSubject about, std::vector<std::string> params) {
  Problem p;
  p.severity = kCodes[static_cast<std::size_t>(code)].severity;
  p.code = code;
  p.text = text;
  p.subject = PrintableText(about.Text());
  p.about = std::move(about);
  for (std::string& param : params) param = PrintableText(param);
  p.params = std::move(params);
  p.message = FormatProblem(p, BuiltInProblemTemplates());
  return p;
}

std::vector<Problem> LimitPerCode(std::vector<Problem> problems, std::size_t limit) {
  std::array<std::size_t, kProblemCodeCount> kept{}, dropped{}, lastKept{};
  std::vector<Problem> out;
  for (Problem& p : problems) {
    const auto code = static_cast<std::size_t>(p.code);
    if (kept[code] == limit) {
      ++dropped[code];
      continue;
    }
    ++kept[code];
    lastKept[code] = out.size();
    out.push_back(std::move(p));
  }
  // From the back, so that the places found above stay where they are.
  std::vector<std::size_t> codes;
  for (std::size_t c = 0; c < kProblemCodeCount; ++c) {
    if (dropped[c] > 0) codes.push_back(c);
  }
  std::sort(codes.begin(), codes.end(), [&](std::size_t a, std::size_t b) { return lastKept[a] > lastKept[b]; });
  for (const std::size_t c : codes) {
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastKept[c] + 1),
               MakeProblem(static_cast<ProblemCode>(c), ProblemText::More, {}, {std::to_string(dropped[c])}));
  }
  return out;
}
