// The text format of the language files and of settings/settings.ini:
// groups in brackets, KEY = value lines, ';' comments; UTF-8 with a byte-order
// mark or Latin-1 without one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <vector>

#include "edit/ini_file.h"

// The largest of these files the editor reads: a real one holds a few
// hundred lines.
inline constexpr std::size_t kLargestIniFile = 1 << 20;

class IniText {
 public:
  static IniText Parse(const QByteArray& bytes);

  // The editor's own small files (settings, recent skins, view, the language
  // files): a file that is missing, unreadable, not a regular file or over
  // 1 MiB (a real one holds a few hundred lines) reads as empty; `found`
  // tells whether it was read.
  static IniText ReadFile(const QString& path, bool* found = nullptr);
  // Writes `bytes` to `path` through a temporary file, so a failed write
  // keeps the old one; the folder is made when missing.
  static bool WriteFile(const QString& path, const QByteArray& bytes);

  // The value of the first entry `key` in the first group `group` (both
  // without regard to the case of ASCII letters), or nothing.
  std::optional<QString> Value(const QString& group, const QString& key) const;

  // Leading blanks skipped, an optional sign, then decimal digits up to the
  // first other character; no digits gives 0.
  static long long ToInteger(const QString& text);

  // The group names in file order, and the keys of the first group of a name.
  QStringList Groups() const;
  QStringList Keys(const QString& group) const;

 private:
  std::vector<IniGroup> groups_;
};
