// The table of the editor's commands, in one place: for each, its id, the
// key of its text, its keys, what it does and when it can be done. The
// menus are laid out from these ids (app/main_window.cpp); the panel, the
// preview, the docks and the reload bar run them by id.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <string>

#include "edit/command_catalogue.h"

class CommandTable;
class EditorCommands;
class FileCommands;
class LanguageTable;
class LiveReload;
class MainWindow;
class SkinDocument;
class ViewState;

// What the commands work on. The window is the one of the moment (it is
// built again when the language changes), so it is asked for each time.
struct CommandDeps {
  const LanguageTable& texts;
  SkinDocument& document;
  ViewState& view;
  FileCommands& files;
  EditorCommands& editor;
  LiveReload& reload;
  std::function<MainWindow*()> window;
  std::function<void()> quit;                // ends the program, after asking about unsaved changes
  std::function<void(int)> changeLanguage;   // the index of the language menu's entry
  std::function<int()> language;             // the language shown
  std::function<void()> toggleSwap;
  std::function<bool()> swapped;
  QString languageDir;
};

void RegisterCommands(CommandTable& table, const CommandDeps& deps);

// A command's keys: the catalogue's portable chords, then the platform's
// own keys for the standard binding they stand for.
QList<QKeySequence> KeysOf(const CommandEntry& entry);
// One chord of the catalogue ("Ctrl+Shift+Z", "PageUp") as the toolkit's key.
QKeySequence KeyOf(const std::string& chord);
// What the catalogue's rules ask of the editor's state, as it is now.
CommandFacts FactsOf(const CommandDeps& deps);
