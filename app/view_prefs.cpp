#include "app/view_prefs.h"

#include "app/ini_text.h"

namespace {

const QString kGroup = QStringLiteral("view");

struct Key {
  const char* name;
  bool ViewPrefs::*value;
};
constexpr Key kKeys[] = {{"WholeZoom", &ViewPrefs::wholeZoom},
                         {"OverviewShown", &ViewPrefs::overviewShown},
                         {"OverviewWhole", &ViewPrefs::overviewWhole},
                         {"Maximised", &ViewPrefs::maximised}};

}  // namespace

ViewPrefs ReadViewPrefs(const QString& file) {
  ViewPrefs prefs;
  const IniText ini = IniText::ReadFile(file);
  for (const Key& k : kKeys) {
    if (const std::optional<QString> v = ini.Value(kGroup, QString::fromLatin1(k.name))) {
      prefs.*k.value = IniText::ToInteger(*v) == 1;
    }
  }
  return prefs;
}

QByteArray FormatViewPrefs(const ViewPrefs& prefs) {
  QByteArray out("\xEF\xBB\xBF[view]\r\n");
  for (const Key& k : kKeys) out += QByteArray(k.name) + " = " + (prefs.*k.value ? "1" : "0") + "\r\n";
  return out;
}

bool WriteViewPrefs(const ViewPrefs& prefs, const QString& file) {
  return IniText::WriteFile(file, FormatViewPrefs(prefs));
}
