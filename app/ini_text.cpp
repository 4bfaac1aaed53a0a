#include "app/ini_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/file_io.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString TrimBlanks(const QString& s) {
  int b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.mid(b, e - b);
}

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
  QString text;
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    text = QString::fromUtf8(bytes.mid(3));
  } else {
    text = QString::fromLatin1(bytes);
  }
  IniText ini;
  Group* current = nullptr;
  int start = 0;
  const int n = text.size();
  while (start <= n) {
    int end = start;
    while (end < n && text[end] != u'\r' && text[end] != u'\n') ++end;
    QString line = text.mid(start, end - start);
    // CR LF counts as one line end.
    start = (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? end + 2 : end + 1;

    int i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    line = line.mid(i);
    if (line.isEmpty() || line.startsWith(u';')) continue;
    if (line.startsWith(u'[')) {
      const int close = line.indexOf(u']');
      ini.groups_.push_back({line.mid(1, close < 0 ? -1 : close - 1), {}});
      current = &ini.groups_.back();
      continue;
    }
    if (!current) continue;  // entries before any group belong to none
    const int eq = line.indexOf(u'=');
    Entry e;
    e.key = TrimBlanks(eq < 0 ? line : line.left(eq));
    e.value = eq < 0 ? QString() : TrimBlanks(line.mid(eq + 1));
    current->entries.push_back(e);
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
  constexpr std::size_t kLargest = 1 << 20;
  std::string bytes;
  const bool read = ReadWholeFile(path.toLocal8Bit().toStdString(), bytes, kLargest) == ReadStatus::Ok;
  if (found) *found = read;
  if (!read) return {};
  return Parse(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool IniText::WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}
