// The interface texts of the desktop editor: the core's texts
// (edit/interface_texts.h) as Qt strings, with the language file read from
// the folder "language".
#pragma once

#include <QString>
#include <QStringList>

#include <string>

#include "edit/interface_texts.h"

// Where the file of an entry is looked for; empty for the built-in texts.
QString LanguageFilePath(const LanguageEntry& entry, const QString& languageDir);

class LanguageTable {
 public:
  LanguageTable() = default;

  // Every text back to its built-in value.
  void Reset() { texts_.Reset(); }

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
  QString Text(const QString& key) const { return QString::fromStdString(texts_.Text(key.toStdString())); }
  QString Text(const char* key) const { return QString::fromStdString(texts_.Text(key)); }
  QString Text(const std::string& key) const { return QString::fromStdString(texts_.Text(key)); }
  // What the Undo menu calls a step: its text filled in, or the name it has.
  QString Step(const StepText& step) const;

  const InterfaceTexts& texts() const { return texts_; }

  // Every key the program knows.
  static QStringList AllKeys();

 private:
  InterfaceTexts texts_;
  int index_ = 0;
  QString folder_;
};
