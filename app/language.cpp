#include "app/language.h"

#include <QDir>

#include "app/ini_text.h"
#include "platform/file_io.h"

QString LanguageFilePath(const LanguageEntry& entry, const QString& languageDir) {
  return entry.file ? QDir(languageDir).filePath(QString::fromLatin1(entry.file)) : QString();
}

bool LanguageTable::Load(int index, const QString& languageDir) {
  Reset();
  index_ = index;
  folder_ = languageDir;
  const LanguageEntry* entry = LanguageEntryOf(index);
  if (!entry || !entry->file) return false;
  // Only a regular file is read: a pipe in its place would hold the editor.
  std::string bytes;
  if (ReadWholeFile(LanguageFilePath(*entry, languageDir).toLocal8Bit().toStdString(), bytes, kLargestIniFile) !=
      ReadStatus::Ok) {
    index_ = 0;
    return false;
  }
  texts_.ReadLanguageFile(bytes);
  return true;
}

QString LanguageTable::Step(const StepText& step) const {
  if (step.key.empty()) return step.args.empty() ? QString() : QString::fromStdString(step.args.front());
  QString text = Text(step.key);
  for (const std::string& a : step.args) text = text.arg(QString::fromStdString(a));
  return text;
}

QStringList LanguageTable::AllKeys() {
  QStringList keys;
  for (const LanguageGroup& g : LanguageGroups()) {
    for (const std::string& k : g.keys) keys << QString::fromStdString(k);
  }
  return keys;
}
