#include "app/ini_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "edit/ini_file.h"
#include "platform/file_io.h"
#include "skin/ascii.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

}  // namespace

IniText IniText::Parse(const QByteArray& bytes) {
  IniText ini;
  ini.groups_ = ParseIni(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return ini;
}

std::optional<QString> IniText::Value(const QString& group, const QString& key) const {
  const std::optional<std::string> v = IniValue(groups_, group.toStdString(), key.toStdString());
  return v ? std::optional<QString>(QString::fromStdString(*v)) : std::nullopt;
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
  for (const IniGroup& g : groups_) names << QString::fromStdString(g.name);
  return names;
}

QStringList IniText::Keys(const QString& group) const {
  const std::string wanted = group.toStdString();
  for (const IniGroup& g : groups_) {
    if (!EqualsIgnoringAsciiCase(g.name, wanted)) continue;
    QStringList keys;
    for (const IniEntry& e : g.entries) keys << QString::fromStdString(e.key);
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
