#include "skin/settings_lines.h"

#include "skin/ascii.h"

std::string WithoutSpaces(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != ' ') out.push_back(c);
  }
  return out;
}

std::string SettingsKeyPart(std::string_view line) { return WithoutSpaces(line.substr(0, line.find('='))); }

std::string_view SettingsValuePart(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  const std::string_view value = line.substr(eq + 1);
  return value.substr(0, value.find('='));
}

namespace {

std::vector<ReaderSection> MakeReaderSections(ReaderPass pass) {
  std::vector<ReaderSection> known;
  for (const SchemaSection& s : SkinSchema()) {
    bool hasColour = false;
    for (const SchemaField& f : s.fields) hasColour |= f.kind == FieldKind::Colour;
    const bool isGlobal = s.name == kGlobalSettingsSection;
    if (pass == ReaderPass::Colours ? hasColour : !isGlobal) {
      known.push_back({WithoutSpaces(s.name), &s});
      if (pass == ReaderPass::Elements && s.name == kCloseBtnSection) known.push_back({"[clsoebtn]", &s});
    }
  }
  if (pass == ReaderPass::Elements) known.push_back({"[end]", nullptr});
  return known;
}

}  // namespace

const std::vector<ReaderSection>& ReaderSections(ReaderPass pass) {
  static const std::vector<ReaderSection> elements = MakeReaderSections(ReaderPass::Elements);
  static const std::vector<ReaderSection> colours = MakeReaderSections(ReaderPass::Colours);
  return pass == ReaderPass::Elements ? elements : colours;
}

const ReaderSection* FindReaderSection(ReaderPass pass, std::string_view keyPart) {
  for (const ReaderSection& k : ReaderSections(pass)) {
    if (EqualsIgnoringAsciiCase(keyPart, k.key)) return &k;
  }
  return nullptr;
}
