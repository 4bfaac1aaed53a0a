// Keyboard mnemonics for menus whose texts come from language files: each
// entry gets the first letter or digit of its text that no sibling has taken
// ("&File", "&Edit"); a text without a free one (a CJK text, say) gets a free
// letter appended as "(&A)". A "&" in the text itself is kept as a character.
#pragma once

#include <QSet>
#include <QString>

#include <array>

class LanguageTable;
class QMenu;
class QMenuBar;

QString WithMnemonic(const QString& text, QSet<QChar>& taken);

// The captions of the buttons of the question about unsaved changes, Save,
// Discard and Cancel, in the language shown, each with a mnemonic of its
// own ("&Save", "&Discard", "&Cancel").
std::array<QString, 3> UnsavedChoiceCaptions(const LanguageTable& texts);

// The titles of the bar's menus, and the entries of every menu and submenu.
void AddMnemonics(QMenuBar* bar);
void AddMnemonics(QMenu* menu);
