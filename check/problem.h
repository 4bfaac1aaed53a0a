// What the skin check finds: problems as data. Nothing here prints; skintool
// prints the problems and the editor lists them in the interface language.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/catalogue.h"
#include "skin/printable.h"

enum class Severity { Error, Warning };

enum class ProblemCode {
  MissingSettings,
  MissingPicture,
  UnreadablePicture,
  SettingsUnknownSection,
  SettingsUnknownKey,
  SettingsBadNumber,
  PictureSize,
  OffScreen,
  LowContrast,
  StrayFile,
  Not16Bit,
  UnreadableSettings,
  KeyInOpaque,
};
inline constexpr std::size_t kProblemCodeCount = 13;

// The wording of a problem: one template per code, and a second one where a
// code has two ways to say it. Templates hold numbered parameters {1}..{9}
// filled from Problem::params; "{{" stands for a literal "{".
enum class ProblemText {
  MissingSettings,        // {1} where it was looked for
  MissingPicture,         // {1} the file or archive member
  UnreadablePicture,      // {1} the file or archive member
  SettingsUnknownSection, // {1} line
  SettingsUnknownKey,     // {1} line, {2} section, {3} key
  SettingsUnknownKeyNear, // {1} line, {2} section, {3} key, {4} the key it is close to
  SettingsBadNumber,      // {1} line, {2} the value as written, {3} the number the reader takes
  PictureSizeExact,       // {1} x {2} the picture, {3} x {4} the size the firmware expects
  PictureSizeTooLarge,    // {1} x {2} the picture, {3} x {4} the room it has
  OffScreen,              // {1}, {2} x and y, {3} x {4} the screen
  LowContrast,            // {1} preview screen as the user counts it (1-14), {2} contrast ratio, {3} the least ratio wanted
  StrayFile,              // {1} the file the firmware reads
  Not16Bit,               // {1} the file, {2} what it is ("PNG", "JPEG", "24-bit BMP", ...)
  UnreadableSettings,     // {1} the file or archive member
  SettingsTooLarge,       // {1} the file or archive member, {2} the most a settings file may have (bytes)
  PictureNoAccess,        // {1} the file
  PictureTooLarge,        // {1} the file or member, {2} the most pixels on a side, {3} the most pixels
  PictureOverBudget,      // {1} the file or member, {2} the most pixels of a whole skin
  More,                   // {1} how many more problems of this code there are
  KeyInOpaque,            // {1} the picture, {2} its key-green pixels
  // A file that gave nothing for an import: the picture keeps what it held.
  ImportUnreadable,       // {1} the file
  ImportTooLarge,         // {1} the file, {2} the most pixels on a side, {3} the most pixels
  ImportOverBudget,       // {1} the file, {2} the most pixels of a whole skin
};
inline constexpr std::size_t kProblemTextCount = 23;

// What a problem is about, as data: the editor leads from it to the control
// that mends it, and its text is the problem's subject.
struct ProblemSubject {
  enum class Kind { None, SettingsFile, Field, Section, Picture, File };
  Kind kind = Kind::None;
  std::string section;           // Field, Section: "[start menu]" as the file writes it
  std::string key;               // Field: "formFrameColr" (empty section: before any header)
  std::optional<ImageId> image;  // Picture
  std::string file;              // File: a path inside the skin ("lamp.bmp.bak")

  static ProblemSubject SettingsFile() { return {Kind::SettingsFile, {}, {}, {}, {}}; }
  static ProblemSubject Field(std::string section, std::string key) {
    return {Kind::Field, std::move(section), std::move(key), {}, {}};
  }
  static ProblemSubject Section(std::string section) { return {Kind::Section, std::move(section), {}, {}, {}}; }
  static ProblemSubject Picture(ImageId image) { return {Kind::Picture, {}, {}, image, {}}; }
  static ProblemSubject File(std::string path) { return {Kind::File, {}, {}, {}, std::move(path)}; }

  // "uisettings.ini", "[global settings] formFrameColr", "[start menu]",
  // "icon/nds", "lamp.bmp.bak"; "..." for none.
  std::string Text() const;
  friend bool operator==(const ProblemSubject&, const ProblemSubject&) = default;
};

struct Problem {
  Severity severity = Severity::Warning;
  ProblemCode code = ProblemCode::MissingSettings;
  ProblemText text = ProblemText::MissingSettings;
  ProblemSubject about;
  std::string subject;              // about.Text(), escaped: "uisettings.ini", "icon/nds", ...
  std::vector<std::string> params;  // the template's {1}, {2}, ...
  std::string message;              // the built-in English text
  std::optional<int> line;          // 1-based line of uisettings.ini, settings codes only
  std::optional<int> screen;        // preview screen 0..13, low-contrast only

  friend bool operator==(const Problem&, const Problem&) = default;
};

// "error", "warning".
std::string_view SeverityName(Severity severity);
// "missing-settings", "settings-unknown-key", ... as skintool prints them.
std::string_view ProblemCodeName(ProblemCode code);
// A stable name per template, for the editor's language table:
// "missing-picture", "settings-unknown-key.near", "picture-size.too-large", ...
std::string_view ProblemTextName(ProblemText text);

using ProblemTemplates = std::array<std::string, kProblemTextCount>;

// The built-in English templates.
const ProblemTemplates& BuiltInProblemTemplates();

// Fills {1}..{9} of a template; a parameter the list lacks becomes empty.
std::string FillTemplate(std::string_view pattern, const std::vector<std::string>& params);

// The problem's text in the given templates' language.
std::string FormatProblem(const Problem& problem, const ProblemTemplates& templates);

// A problem with its English message filled in. The severity follows from the
// code: the opening codes are errors, everything else is a warning. The
// subject and the parameters are shown escaped (PrintableText): they come
// from files and archives, and a name must not forge a line of the output.
Problem MakeProblem(ProblemCode code, ProblemText text, ProblemSubject about, std::vector<std::string> params);

// At most `limit` problems of each code, in their order; where more were
// found, one problem of that code after the last one kept says how many
// more there are ("...": {1} more).
std::vector<Problem> LimitPerCode(std::vector<Problem> problems, std::size_t limit);
