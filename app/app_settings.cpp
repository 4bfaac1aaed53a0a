#include "app/app_settings.h"

#include <QFile>

#include <limits>

#include "app/ini_text.h"

namespace {

std::int32_t ToInt32(const QString& text) {
  const long long v = IniText::ToInteger(text);
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

}  // namespace

AppSettings ReadAppSettings(const QString& path) {
  AppSettings s;
  const IniText ini = IniText::ReadFile(path);
  const QString group = QStringLiteral("settings");
  s.lastPath = ini.Value(group, QStringLiteral("LastPath")).value_or(QString());
  s.language = ToInt32(ini.Value(group, QStringLiteral("Language")).value_or(QString()));
  s.bgColor = ToInt32(ini.Value(group, QStringLiteral("BGColor")).value_or(QString()));
  s.swapView = ToInt32(ini.Value(group, QStringLiteral("SwapView")).value_or(QString())) != 0 ? 1 : 0;
  return s;
}

QByteArray FormatAppSettings(const AppSettings& s) {
  QByteArray out("\xEF\xBB\xBF\r\n[settings]\r\n");
  out += "LastPath = " + s.lastPath.toUtf8() + "\r\n";
  out += "Language = " + QByteArray::number(s.language) + "\r\n";
  out += "BGColor = " + QByteArray::number(s.bgColor) + "\r\n";
  out += "SwapView = " + QByteArray::number(s.swapView) + "\r\n";
  return out;
}

bool WriteAppSettings(const AppSettings& settings, const QString& path) {
  return IniText::WriteFile(path, FormatAppSettings(settings));
}
