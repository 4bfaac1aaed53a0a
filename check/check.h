// The skin check: what is wrong with a skin before it goes to the card, as a
// list of problems (check/problem.h). It reads the skin and, for the settings
// file and the file names, the skin's raw files; it never changes anything.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "check/problem.h"
#include "check/settings_check.h"
#include "check/skin_source.h"
#include "images/feedback.h"
#include "skin/skin.h"

// What the check is given besides the skin.
struct CheckInput {
  // The messages of opening the skin and of the imports, in order (collect
  // them with a MessageCollector); they become the missing-settings,
  // missing-picture and unreadable-picture problems.
  std::vector<Message> messages;
  // Each skin opened, in the order opened (ReadSkinSource); none for the
  // built-in default skin.
  std::vector<SkinSource> sources;
  // The pictures replaced after the skins were opened (imports, edits): their
  // files in the sources no longer make the skin, so not-16-bit skips them.
  std::array<bool, kImageCount> replaced{};
};

// Every check, in this order: the opening messages, then per source its
// settings file and its files, then the pictures' sizes, key green in
// pictures drawn opaque, the elements' places and the text colours'
// contrast. About 5 ms for the default skin,
// nearly all of it the 28 renders of the contrast check.
std::vector<Problem> CheckSkin(const Skin& skin, const CheckInput& input);

// The single checks, for a caller that wants only some of them.
// missing-settings, missing-picture, unreadable-picture; nothing for the
// messages of saving, nor for notes (HalfTransparent).
std::optional<Problem> ProblemFromMessage(const Message& message);
// picture-size.
std::vector<Problem> CheckPictureSizes(const Skin& skin);
// key-in-opaque: key-green pixels in a picture the firmware draws without
// the key colour (PicturesDrawnOpaque), where they show as bright green.
std::vector<Problem> CheckKeyInOpaque(const Skin& skin);
// off-screen.
std::vector<Problem> CheckPlacement(const Skin& skin);
// low-contrast: renders every preview screen twice (28 renders).
std::vector<Problem> CheckContrast(const Skin& skin);
// stray-file, and not-16-bit for the pictures whose file in this source made
// the skin (`madeBy`).
std::vector<Problem> CheckSourceFiles(const SkinSource& source, const std::array<bool, kImageCount>& madeBy);

// A Feedback that keeps every message of an operation instead of showing it.
class MessageCollector : public Feedback {
 public:
  void ShowError(const std::string&) override {}
  void SetProgress(int) override {}
  void Report(const Message& message, const std::string&) override { messages.push_back(message); }
  std::vector<Message> messages;
};
