#include "images/feedback.h"

#include "assets/builtin_text.h"
#include "skin/printable.h"

namespace {
constexpr auto kNotFound = ScrambleText("File not found");
constexpr auto kUnknown = ScrambleText("Unknown file format");
constexpr auto kNotSaved = ScrambleText("File could not be saved");
constexpr auto kSettingsMissing = ScrambleText("No skin settings file (uisettings.ini) was found here");
constexpr auto kPictureEmpty = ScrambleText("not saved, the picture is empty because its file could not be read");
constexpr auto kCannotExtract = ScrambleText("could not be read from the archive (damaged, encrypted or too large)");
constexpr auto kTooLarge = ScrambleText("File is too large for a skin picture");
constexpr auto kCannotRead = ScrambleText("File is there but cannot be read (no permission)");
constexpr auto kNotAFile = ScrambleText("not read: it is not a file but a folder, a pipe or a device");
constexpr auto kSettingsTooLarge =
    ScrambleText("not read: a settings file may have at most 1 MB; the settings keep their values");
constexpr auto kOverBudget =
    ScrambleText("not read: with it the pictures of the skin would hold more than 64 million pixels together");
constexpr auto kNotReplacedWhole = ScrambleText(
    "not written: an archive is only replaced whole, by a new file beside it, and here that cannot be done "
    "(the folder takes no new file, or the archive has other hard links); the old archive is as it was");
constexpr auto kDiskFull = ScrambleText("not written: the disk is full");
constexpr auto kLinkOutside = ScrambleText(
    "not written: it is a link to a file outside the skin's folder, which a save does not change unless you agree");
constexpr auto kSaveAbandoned =
    ScrambleText("nothing was saved: after the failure above every file of the skin was left as it was");
constexpr auto kHalfTransparent =
    ScrambleText("{1} pixels are half transparent: {2} of them were kept opaque, {3} became the key green");

// The numbers of a HalfTransparent message in its text.
std::string FillCounts(std::string_view text, const Message& m) {
  const std::string values[] = {std::to_string(m.count), std::to_string(m.kept), std::to_string(m.count - m.kept)};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '3' && text[i + 2] == '}') {
      out += values[text[i + 1] - '1'];
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

MessageTexts MessageTexts::BuiltIn() {
  return {Unscramble(kNotFound),    Unscramble(kUnknown),       Unscramble(kNotSaved), Unscramble(kSettingsMissing),
          Unscramble(kPictureEmpty), Unscramble(kCannotExtract), Unscramble(kTooLarge), Unscramble(kCannotRead),
          Unscramble(kNotAFile),     Unscramble(kSettingsTooLarge), Unscramble(kOverBudget),
          Unscramble(kNotReplacedWhole), Unscramble(kDiskFull), Unscramble(kLinkOutside), Unscramble(kSaveAbandoned),
          Unscramble(kHalfTransparent)};
}

bool IsSettingsFailure(const Message& m) {
  if (m.image) return false;
  switch (m.kind) {
    case MessageKind::SettingsMissing:
    case MessageKind::SettingsTooLarge:
    case MessageKind::CannotExtract:
    case MessageKind::CannotRead:
    case MessageKind::NotAFile: return true;
    default: return false;
  }
}

bool IsSaveFailure(const Message& m) {
  switch (m.kind) {
    case MessageKind::NotSaved:
    case MessageKind::NotReplacedWhole:
    case MessageKind::DiskFull:
    case MessageKind::LinkOutside:
    case MessageKind::SaveAbandoned: return true;
    default: return false;
  }
}

std::string FormatMessage(const Message& m, const MessageTexts& texts) {
  const std::string subject = PrintableText(m.subject);
  switch (m.kind) {
    case MessageKind::FileNotFound: return subject + " : " + texts.fileNotFound;
    case MessageKind::UnknownFormat: return subject + ": " + texts.fileUnknown;
    case MessageKind::NotSaved: return subject + ": " + texts.fileNotSaved;
    case MessageKind::SettingsMissing: return subject + " : " + texts.settingsMissing;
    case MessageKind::PictureEmpty: return subject + ": " + texts.pictureEmpty;
    case MessageKind::CannotExtract: return subject + ": " + texts.cannotExtract;
    case MessageKind::TooLarge: return subject + ": " + texts.tooLarge;
    case MessageKind::CannotRead: return subject + ": " + texts.cannotRead;
    case MessageKind::NotAFile: return subject + ": " + texts.notAFile;
    case MessageKind::SettingsTooLarge: return subject + ": " + texts.settingsTooLarge;
    case MessageKind::OverBudget: return subject + ": " + texts.overBudget;
    case MessageKind::NotReplacedWhole: return subject + ": " + texts.notReplacedWhole;
    case MessageKind::DiskFull: return subject + ": " + texts.diskFull;
    case MessageKind::LinkOutside: return subject + ": " + texts.linkOutside;
    case MessageKind::SaveAbandoned: return subject + ": " + texts.saveAbandoned;
    case MessageKind::HalfTransparent: return subject + ": " + FillCounts(texts.halfTransparent, m);
  }
  return subject;
}
