#include "app/ini_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "edit/ini_file.h"
#include "platform/file_io.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// ASCII letters only: the group and key names of these files are ASCII.
bool SameName(const QString& a, const QString& b) {
  if (a.size() != b.size()) return false;
  for (int i = 0; i < a.size(); ++i) {
    QChar x = a[i], y = b[i];
    if (x.unicode() < 128) x = x.toLower();
    if (y.unicode() < 128) y = y.toLower();
    if (x != y) return false;
  }
  return true;
}

}  // namespace

IniText IniText::Parse(const QByteArray& bytes) {
  IniText ini;
  for (const IniGroup& g : ParseIni(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    Group& group = ini.groups_.emplace_back();
    group.name = QString::fromStdString(g.name);
    for (const IniEntry& e : g.entries) group.entries.push_back({QString::fromStdString(e.key), QString::fromStdString(e.value)});
  }
  return ini;
}

std::optional<QString> IniText::Value(const QString& group, const QString& key) const {
  for (const Group& g : groups_) {
    if (!SameName(g.name, group)) continue;
    // Only the first group of that name counts.
    for (const Entry& e : g.entries) {
      if (SameName(e.key, key)) return e.value;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

long long IniText::ToInteger(const QString& text) {
  int i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long v = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (v < 1'000'000'000'000LL) v = v * 10 + (text[i].unicode() - u'0');
  }
  return negative ? -v : v;
}

QStringList IniText::Groups() const {
  QStringList names;
  for (const Group& g : groups_) names << g.name;
  return names;
}

QStringList IniText::Keys(const QString& group) const {
  for (const Group& g : groups_) {
    if (!SameName(g.name, group)) continue;
    QStringList keys;
    for (const Entry& e : g.entries) keys << e.key;
    return keys;
  }
  return {};
}

IniText IniText::ReadFile(const QString& path, bool* found) {
  // Only a regular file is read: a pipe in its place would hold the start
  // forever, a device would never end.
  std::string bytes;
  const bool read = ReadWholeFile(path.toLocal8Bit().toStdString(), bytes, kLargestIniFile) == ReadStatus::Ok;
  if (found) *found = read;
  if (!read) return {};
  return Parse(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool IniText::WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}
