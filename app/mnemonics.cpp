#include "app/mnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/language.h"
#include "edit/mnemonics.h"
#include "skin/ascii.h"

namespace {

void AddMnemonics(const QList<QAction*>& actions) {
  QSet<QChar> taken;
  for (QAction* a : actions) {
    if (a->isSeparator() || a->text().isEmpty()) continue;
    a->setText(WithMnemonic(a->text(), taken));
  }
}

}  // namespace

QString WithMnemonic(const QString& text, QSet<QChar>& taken) {
  std::string letters;
  for (QChar c : taken) letters += static_cast<char>(c.unicode());
  const Mnemonic m = TakeMnemonic(text.toStdString(), letters);
  if (!m.letter.empty()) taken.insert(QChar(QLatin1Char(AsciiUpper(m.letter[0]))));
  // A "&" of the text itself is kept as a character.
  const auto escaped = [](const std::string& s) { return QString::fromStdString(s).replace(QLatin1Char('&'), QStringLiteral("&&")); };
  return escaped(m.before) + (m.letter.empty() ? QString() : QLatin1Char('&') + QString::fromStdString(m.letter)) + escaped(m.after);
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
