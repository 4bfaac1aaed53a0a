#include "images/feedback.h"

#include "assets/builtin_text.h"

namespace {
constexpr auto kNotFound = ScrambleText("File not found");
constexpr auto kUnknown = ScrambleText("Unknown file format");
constexpr auto kNotSaved = ScrambleText("File could not be saved");
constexpr auto kSettingsMissing = ScrambleText("No skin settings file (uisettings.ini) was found here");
constexpr auto kPictureEmpty = ScrambleText("not saved, the picture is empty because its file could not be read");
constexpr auto kCannotExtract = ScrambleText("could not be read from the archive (damaged, encrypted or too large)");
constexpr auto kTooLarge = ScrambleText("File is too large for a skin picture");
}  // namespace

MessageTexts MessageTexts::BuiltIn() {
  return {Unscramble(kNotFound),    Unscramble(kUnknown),       Unscramble(kNotSaved), Unscramble(kSettingsMissing),
          Unscramble(kPictureEmpty), Unscramble(kCannotExtract), Unscramble(kTooLarge)};
}

std::string FormatMessage(const Message& m, const MessageTexts& texts) {
  switch (m.kind) {
    case MessageKind::FileNotFound: return m.subject + " : " + texts.fileNotFound;
    case MessageKind::UnknownFormat: return m.subject + ": " + texts.fileUnknown;
    case MessageKind::NotSaved: return m.subject + ": " + texts.fileNotSaved;
    case MessageKind::SettingsMissing: return m.subject + " : " + texts.settingsMissing;
    case MessageKind::PictureEmpty: return m.subject + ": " + texts.pictureEmpty;
    case MessageKind::CannotExtract: return m.subject + ": " + texts.cannotExtract;
    case MessageKind::TooLarge: return m.subject + ": " + texts.tooLarge;
  }
  return m.subject;
}
