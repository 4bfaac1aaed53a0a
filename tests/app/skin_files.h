// Skins on disk for the editor's tests: saved as the editor saves them, and
// read back as bytes.
#pragma once

#include <QDir>
#include <QFile>

#include <string>
#include <vector>

#include "check/check.h"
#include "images/defaults.h"
#include "images/skin_io.h"

struct FixedClock : Clock {
  DateTime Now() const override { return {2012, 3, 4, 5, 6, 7}; }
};

// What a save of the skin would write: the settings file and the pictures.
inline std::vector<std::string> SavedBytes(const Skin& skin) {
  Skin copy = skin;
  std::vector<std::string> bytes;
  for (const SkinFile& f : EncodeSkinFiles(copy, TypedInfoOf(copy), FixedClock().Now())) bytes.push_back(f.bytes);
  return bytes;
}

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

// The default skin saved into `folder`.
inline void SaveDefault(const QString& folder) {
  Skin skin;
  ResetSkinToDefaults(skin);
  MessageCollector quiet;
  const MessageTexts texts = MessageTexts::BuiltIn();
  SkinIoContext ctx{quiet, texts};
  QDir().mkpath(folder);
  SaveSkinFolder(skin, folder.toStdString(), TypedInfoOf(skin), FixedClock(), ctx);
}
