#include "app/mnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/language.h"

namespace {

bool Usable(QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); }

void AddMnemonics(const QList<QAction*>& actions) {
  QSet<QChar> taken;
  for (QAction* a : actions) {
    if (a->isSeparator() || a->text().isEmpty()) continue;
    a->setText(WithMnemonic(a->text(), taken));
  }
}

}  // namespace

QString WithMnemonic(const QString& text, QSet<QChar>& taken) {
  QString out;
  bool marked = false;
  for (QChar c : text) {
    if (!marked && Usable(c) && !taken.contains(c.toUpper())) {
      taken.insert(c.toUpper());
      out += QLatin1Char('&');
      marked = true;
    }
    out += c;
    if (c == QLatin1Char('&')) out += QLatin1Char('&');
  }
  if (marked) return out;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (taken.contains(QLatin1Char(letter))) continue;
    taken.insert(QLatin1Char(letter));
    return out + QStringLiteral("(&") + QLatin1Char(letter) + QLatin1Char(')');
  }
  return out;
}

std::array<QString, 3> UnsavedChoiceCaptions(const LanguageTable& texts) {
  QSet<QChar> taken;
  std::array<QString, 3> captions;
  const char* const keys[] = {"LANG_FILE_SAVE$", "LANG_DISCARD$", "LANG_CANCEL$"};
  for (std::size_t i = 0; i < captions.size(); ++i) captions[i] = WithMnemonic(texts.Text(keys[i]), taken);
  return captions;
}

void AddMnemonics(QMenu* menu) {
  AddMnemonics(menu->actions());
  for (QAction* a : menu->actions()) {
    if (a->menu()) AddMnemonics(a->menu());
  }
}

void AddMnemonics(QMenuBar* bar) {
  AddMnemonics(bar->actions());
  for (QAction* a : bar->actions()) {
    if (a->menu()) AddMnemonics(a->menu());
  }
}
