#include "app/recent_skins.h"

#include "app/ini_text.h"

namespace {
const QString kGroup = QStringLiteral("recent");
QString KeyOf(int i) { return QStringLiteral("Skin%1").arg(i + 1); }
}  // namespace

QStringList WithRecentSkin(QStringList list, const QString& path) {
  list.removeAll(path);
  list.prepend(path);
  while (list.size() > kRecentSkins) list.removeLast();
  return list;
}

QStringList ReadRecentSkins(const QString& file) {
  const IniText ini = IniText::ReadFile(file);
  QStringList list;
  for (int i = 0; i < kRecentSkins; ++i) {
    const QString path = ini.Value(kGroup, KeyOf(i)).value_or(QString());
    if (!path.isEmpty() && !list.contains(path)) list << path;
  }
  return list;
}

QByteArray FormatRecentSkins(const QStringList& list) {
  QByteArray out("\xEF\xBB\xBF[recent]\r\n");
  for (int i = 0; i < list.size() && i < kRecentSkins; ++i) {
    out += KeyOf(i).toUtf8() + " = " + list[i].toUtf8() + "\r\n";
  }
  return out;
}

bool WriteRecentSkins(const QStringList& list, const QString& file) {
  return IniText::WriteFile(file, FormatRecentSkins(list));
}
