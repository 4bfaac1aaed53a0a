#include "images/feedback.h"

#include "assets/builtin_text.h"

namespace {
constexpr auto kNotFound = ScrambleText("File not found");
constexpr auto kUnknown = ScrambleText("Unknown file format");
constexpr auto kNotSaved = ScrambleText("File could not be saved");
constexpr auto kSettingsMissing = ScrambleText("No skin settings file (uisettings.ini) was found here");
}  // namespace

MessageTexts MessageTexts::BuiltIn() {
  return {Unscramble(kNotFound), Unscramble(kUnknown), Unscramble(kNotSaved), Unscramble(kSettingsMissing)};
}
