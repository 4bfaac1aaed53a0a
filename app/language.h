// The interface texts: built-in English texts, overridden key by key by a
// language file of the folder "language".
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <string>
#include <vector>

#include "edit/step_text.h"
#include "check/problem.h"
#include "images/feedback.h"

// One entry of the language menu, in menu order.
struct LanguageEntry {
  int index;         // the value stored in the settings
  const char* file;  // file name in the folder "language", or nullptr for the built-in texts
  QString label;     // menu label (built-in only)
};
const std::array<LanguageEntry, 10>& LanguageMenu();
// The menu entry of a language index, or nullptr.
const LanguageEntry* LanguageEntryOf(int index);
// Where the file of an entry is looked for; empty for the built-in texts.
QString LanguageFilePath(const LanguageEntry& entry, const QString& languageDir);

// The title of the language menu (built-in only).
QString LanguageMenuTitle();

// The groups of a language file and their keys, in the order they are read.
struct LanguageGroup {
  const char* name;
  QStringList keys;
};
const std::vector<LanguageGroup>& LanguageGroups();

class LanguageTable {
 public:
  LanguageTable();

  // Every text back to its built-in value.
  void Reset();

  // Reset, then, for index 1 to 9, read "<languageDir>/<file>" over the
  // built-in texts. A missing file or an index outside 1..9 leaves the
  // built-in texts. Returns whether a file was read.
  bool Load(int index, const QString& languageDir);
  // The language whose texts are in force: the index last loaded, or 0 (the
  // built-in texts) when its file could not be read.
  int index() const { return index_; }
  // The folder the language files were last looked for in.
  const QString& folder() const { return folder_; }

  // The text of a key ("LANG_FILE$"); the key itself when it is unknown.
  QString Text(const QString& key) const;
  QString Text(const char* key) const { return Text(QString::fromLatin1(key)); }
  // What the Undo menu calls a step: its text filled in, or the name it has.
  QString Step(const StepText& step) const;

  // Every key the program knows.
  static QStringList AllKeys();

 private:
  QHash<QString, QString> texts_;
  int index_ = 0;
  QString folder_;
};

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
QString ProblemTextKey(ProblemText text);
