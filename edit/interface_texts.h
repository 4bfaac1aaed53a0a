// The texts of the editor's interface, the same on both faces: the
// built-in English texts by language key, overridden key by key by a
// language file (language/*.ini), and the language menu.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "check/problem.h"
#include "edit/step_text.h"
#include "images/feedback.h"

// Every language key the program knows and its built-in English text.
const std::map<std::string, std::string, std::less<>>& BuiltinInterfaceTexts();

// One entry of the language menu, in menu order.
struct LanguageEntry {
  int index;          // the value stored in the settings
  const char* file;   // file name in the folder "language", or nullptr for the built-in texts
  std::string label;  // menu label (UTF-8, in the language itself)
};
const std::array<LanguageEntry, 10>& LanguageMenu();
// The menu entry of a language index, or nullptr.
const LanguageEntry* LanguageEntryOf(int index);
// The title of the language menu (built-in only).
std::string LanguageMenuTitle();

// The groups of a language file and their keys, in the order they are read.
struct LanguageGroup {
  const char* name;
  std::vector<std::string> keys;
};
const std::vector<LanguageGroup>& LanguageGroups();

// The language keys of the core's message texts. Their built-in English is
// the core's own (MessageTexts::BuiltIn), so it is written in one place.
struct MessageTextKey {
  const char* key;
  std::string MessageTexts::*text;
};
const std::array<MessageTextKey, 15>& MessageTextKeys();

// The language key of a template of the skin check, made from its stable
// name ("picture-size.too-large" is LANG_PROBLEM_PICTURE_SIZE_TOO_LARGE$).
// Its built-in text is the check's own English.
std::string ProblemTextKey(ProblemText text);

// "%1" to "%9" of a text filled in from `args` (one that `args` lacks stays).
std::string FillArguments(std::string_view text, const std::vector<std::string>& args);

// The texts in force: the built-in ones, or those of a language file over them.
class InterfaceTexts {
 public:
  InterfaceTexts();
  // Every text back to its built-in value.
  void Reset();
  // Reset, then the texts of a language file's bytes over the built-in ones,
  // each key read from its group.
  void ReadLanguageFile(std::string_view bytes);

  // The text of a key ("LANG_FILE$"); the key itself when it is unknown.
  std::string Text(std::string_view key) const;
  // What the Undo menu calls a step: its text filled in, or the name it has.
  std::string Step(const StepText& step) const;
  // The texts of the core's messages and of the check's problems.
  MessageTexts Messages() const;
  ProblemTemplates Problems() const;

  const std::map<std::string, std::string, std::less<>>& all() const { return texts_; }

 private:
  std::map<std::string, std::string, std::less<>> texts_;
};
