// The interface texts: built-in English texts, overridden key by key by a
// language file of the folder "language".
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <string>
#include <vector>

#include "check/problem.h"
#include "images/feedback.h"

// One entry of the language menu, in menu order.
struct LanguageEntry {
  int index;         // the value stored in the settings
  const char* file;  // file name in the folder "language", or nullptr for the built-in texts
  QString label;     // menu label (built-in only)
};
const std::array<LanguageEntry, 10>& LanguageMenu();

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

  // The text of a key ("LANG_FILE$"); the key itself when it is unknown.
  QString Text(const QString& key) const;
  QString Text(const char* key) const { return Text(QString::fromLatin1(key)); }

  // Every key the program knows.
  static QStringList AllKeys();

 private:
  QHash<QString, QString> texts_;
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
